#include "picture/codecs/Codecs.h"
#include "picture/codecs/PngCheck.h"

#include <QBuffer>
#include <QImageReader>

namespace picture::codecs {

namespace {

struct Entry {
    qint64 offset = 0;
    qint64 size = 0;
    bool png = false;
    QSize pixels;
    int bitCount = 0;
};

// The image size an entry's own data states; the directory's width and
// height bytes cannot say more than 256 and are often wrong.
bool measure(const ByteReader &r, Entry &e)
{
    const uint8_t *data = r.data() + e.offset;
    if (startsAsPng(data, e.size)) {
        e.png = true;
        const PngHeader png = checkedPngHeader(data, e.size);
        if (!fitsDecodeLimit(png.size.width(), png.size.height()))
            return false;
        e.pixels = png.size;
        const int samples = png.colourType == 6 ? 4 : png.colourType == 2 ? 3 : png.colourType == 4 ? 2 : 1;
        e.bitCount = png.bitDepth * samples;
        return true;
    }
    e.pixels = dibEntrySize(data, e.size, &e.bitCount);
    return !e.pixels.isEmpty();
}

Decoded decodePngEntry(const QByteArray &bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "png");
    QImage image = reader.read();
    if (image.isNull())
        return Decoded::failure(QStringLiteral("the icon's PNG image is damaged: %1").arg(reader.errorString()));
    return Decoded::success(std::move(image));
}

} // namespace

bool looksLikeIcon(const QByteArray &data)
{
    const ByteReader r(data);
    return r.has(0, 6) && r.u16(0) == 0 && (r.u16(2) == 1 || r.u16(2) == 2);
}

Decoded decodeIcon(const QByteArray &data)
{
    const ByteReader r(data);
    const int count = r.u16(4);
    if (count == 0)
        return Decoded::failure(QStringLiteral("the icon file holds no images"));
    if (!r.has(6, qint64(count) * 16))
        return Decoded::failure(QStringLiteral("the icon directory is truncated"));

    Entry best;
    bool found = false;
    for (int i = 0; i < count; ++i) {
        const qint64 at = 6 + qint64(i) * 16;
        Entry e;
        e.size = r.u32(at + 8);
        e.offset = r.u32(at + 12);
        if (e.offset < 6 + qint64(count) * 16 || e.offset >= r.size() || !r.has(e.offset, e.size))
            return Decoded::failure(QStringLiteral("icon image %1 lies outside the file").arg(i + 1));
        // A length too small for even a bitmap header is no length at all
        // (some writers put 8 there); the image then runs to the end of the file.
        // Any other length must hold the whole image.
        if (e.size < 40)
            e.size = r.size() - e.offset;
        if (!measure(r, e))
            return Decoded::failure(QStringLiteral("icon image %1 has an unreadable header").arg(i + 1));
        const qint64 area = qint64(e.pixels.width()) * e.pixels.height();
        const qint64 bestArea = qint64(best.pixels.width()) * best.pixels.height();
        if (!found || area > bestArea || (area == bestArea && e.bitCount > best.bitCount)) {
            best = e;
            found = true;
        }
    }

    const QByteArray bytes = data.mid(best.offset, best.size);
    Decoded result = best.png ? decodePngEntry(bytes) : decodeBmp(bytes, DibKind::IconEntry);
    if (result.ok() && result.image.size() != best.pixels)
        return Decoded::failure(QStringLiteral("the icon image is not the size its header states"));
    return result;
}

} // namespace picture::codecs
