// libFuzzer entry: a JPEG through the loader, as the viewer reads one: every
// pixel, shrunk to fit a small pane (libjpeg's reduced decoding) and
// stretched to one.
#include "FuzzSupport.h"
#include "picture/Loader.h"
#include "picture/codecs/Codecs.h"

using picture::DecodeSize;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = fuzzing::bytesOf(data, size);
    if (!picture::codecs::looksLikeJpeg(bytes))
        return 0;
    for (const DecodeSize &shown : {DecodeSize::natural(), DecodeSize::within({97, 61}), DecodeSize::exactly({13, 40})})
        picture::loadFromData(bytes, shown);
    return 0;
}
