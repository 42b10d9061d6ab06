// libFuzzer entry: the bitmap decoder in its three forms (file, headerless
// clipboard bitmap, icon entry).
#include "FuzzSupport.h"
#include "picture/codecs/Codecs.h"

using namespace picture::codecs;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = fuzzing::bytesOf(data, size);
    if (bytes.startsWith("BM")) {
        decodeBmp(bytes, DibKind::File);
        return 0;
    }
    if (looksLikeHeaderlessDib(bytes))
        decodeBmp(bytes, DibKind::Headerless);
    int bitCount = 0;
    if (!dibEntrySize(data, qint64(size), &bitCount).isEmpty())
        decodeBmp(bytes, DibKind::IconEntry);
    return 0;
}
