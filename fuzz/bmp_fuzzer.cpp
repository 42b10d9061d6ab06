// libFuzzer entry: the bitmap decoder in its three forms (file, headerless
// clipboard bitmap, icon entry), a file also read reduced, from memory and
// a few rows at a time.
#include "FuzzSupport.h"
#include "picture/codecs/Codecs.h"

#include <QBuffer>

#include <algorithm>

using namespace picture::codecs;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = fuzzing::bytesOf(data, size);
    if (bytes.startsWith("BM")) {
        decodeBmp(bytes, DibKind::File);
        // A third of the size, at least one pixel: every block width from 2 on.
        const auto third = [](QSize natural) { return QSize(std::max(1, natural.width() / 3), std::max(1, natural.height() / 3)); };
        decodeBmp(bytes, DibKind::File, third);
        QByteArray copy = bytes;
        QBuffer file(&copy);
        if (file.open(QIODevice::ReadOnly))
            decodeBmpReduced(file, third);
        return 0;
    }
    if (looksLikeHeaderlessDib(bytes))
        decodeBmp(bytes, DibKind::Headerless);
    int bitCount = 0;
    if (!dibEntrySize(data, qint64(size), &bitCount).isEmpty())
        decodeBmp(bytes, DibKind::IconEntry);
    return 0;
}
