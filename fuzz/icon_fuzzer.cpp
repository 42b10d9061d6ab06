// libFuzzer entry: icons and cursors, bitmap and PNG entries alike.
#include "FuzzSupport.h"
#include "picture/codecs/Codecs.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = fuzzing::bytesOf(data, size);
    if (picture::codecs::looksLikeIcon(bytes))
        picture::codecs::decodeIcon(bytes);
    return 0;
}
