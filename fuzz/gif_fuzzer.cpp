// libFuzzer entry: the GIF decoder (first frame on the logical screen).
#include "FuzzSupport.h"
#include "picture/codecs/Codecs.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = fuzzing::bytesOf(data, size);
    if (picture::codecs::looksLikeGif(bytes))
        picture::codecs::decodeGif(bytes);
    return 0;
}
