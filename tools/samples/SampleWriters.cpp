#include "tools/samples/SampleWriters.h"

#include <QBuffer>
#include <QHash>

#include <vector>

namespace samples {

namespace {

void put16(QByteArray &out, uint32_t v)
{
    out.append(char(v & 0xff));
    out.append(char((v >> 8) & 0xff));
}

void put32(QByteArray &out, uint32_t v)
{
    put16(out, v & 0xffff);
    put16(out, v >> 16);
}

void set32(QByteArray &out, int at, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out[at + i] = char((v >> (8 * i)) & 0xff);
}

void fileHeader(QByteArray &out)
{
    out.append("BM");
    put32(out, 0); // file size, set at the end
    put32(out, 0);
    put32(out, 0); // pixel offset, set once known
}

void infoHeader(QByteArray &out, int width, int height, int bpp, uint32_t compression, uint32_t imageSize, uint32_t colours)
{
    put32(out, 40);
    put32(out, uint32_t(width));
    put32(out, uint32_t(height));
    put16(out, 1);
    put16(out, uint32_t(bpp));
    put32(out, compression);
    put32(out, imageSize);
    put32(out, 3780); // 96 dpi
    put32(out, 3780);
    put32(out, colours);
    put32(out, 0);
}

void colourTable(QByteArray &out, const QList<QRgb> &table)
{
    for (QRgb c : table) {
        out.append(char(qBlue(c)));
        out.append(char(qGreen(c)));
        out.append(char(qRed(c)));
        out.append('\0');
    }
}

void finishFile(QByteArray &out, int pixelOffset)
{
    set32(out, 2, uint32_t(out.size()));
    set32(out, 10, uint32_t(pixelOffset));
}

// One row of RLE8: runs of two or more equal pixels as encoded runs, other
// stretches of three or more as literal runs, padded to 16 bits.
void encodeRle8Row(QByteArray &out, const uchar *row, int width)
{
    int x = 0;
    while (x < width) {
        int run = 1;
        while (x + run < width && run < 255 && row[x + run] == row[x])
            ++run;
        if (run >= 2) {
            out.append(char(run));
            out.append(char(row[x]));
            x += run;
            continue;
        }
        int literal = 1;
        while (x + literal < width && literal < 255
               && !(x + literal + 1 < width && row[x + literal] == row[x + literal + 1]))
            ++literal;
        if (literal < 3) {
            for (int i = 0; i < literal; ++i) {
                out.append('\1');
                out.append(char(row[x + i]));
            }
        } else {
            out.append('\0');
            out.append(char(literal));
            out.append(reinterpret_cast<const char *>(row + x), literal);
            if (literal % 2)
                out.append('\0');
        }
        x += literal;
    }
}

// Variable-width LZW as GIF uses it, with a clear code whenever the table fills.
class LzwEncoder {
public:
    LzwEncoder(QByteArray &out, int minCodeSize) : m_out(out), m_minCodeSize(minCodeSize) {}

    void encode(const std::vector<uint8_t> &indices)
    {
        const int clear = 1 << m_minCodeSize;
        reset();
        writeCode(clear);
        int prefix = -1;
        for (uint8_t value : indices) {
            if (prefix < 0) {
                prefix = value;
                continue;
            }
            const uint32_t key = uint32_t(prefix) << 8 | value;
            const auto it = m_table.constFind(key);
            if (it != m_table.constEnd()) {
                prefix = it.value();
                continue;
            }
            writeCode(prefix);
            if (m_next < 4096) {
                m_table.insert(key, m_next++);
                if (m_next > (1 << m_width) && m_width < 12)
                    ++m_width;
            }
            if (m_next == 4096) {
                writeCode(clear);
                reset();
            }
            prefix = value;
        }
        if (prefix >= 0) {
            writeCode(prefix);
            // The reader adds a table entry for this last code too, which may
            // widen the end code.
            if (m_next < 4096 && ++m_next > (1 << m_width) && m_width < 12)
                ++m_width;
        }
        writeCode(clear + 1);
        if (m_bitCount > 0)
            m_bytes.append(char(m_bits & 0xff));
        for (qsizetype at = 0; at < m_bytes.size(); at += 255) {
            const qsizetype n = std::min<qsizetype>(255, m_bytes.size() - at);
            m_out.append(char(n));
            m_out.append(m_bytes.constData() + at, n);
        }
        m_out.append('\0');
    }

private:
    void reset()
    {
        m_table.clear();
        m_width = m_minCodeSize + 1;
        m_next = (1 << m_minCodeSize) + 2;
    }
    void writeCode(int code)
    {
        m_bits |= uint32_t(code) << m_bitCount;
        m_bitCount += m_width;
        while (m_bitCount >= 8) {
            m_bytes.append(char(m_bits & 0xff));
            m_bits >>= 8;
            m_bitCount -= 8;
        }
    }

    QByteArray &m_out;
    QByteArray m_bytes;
    QHash<uint32_t, int> m_table;
    int m_minCodeSize;
    int m_width = 0;
    int m_next = 0;
    uint32_t m_bits = 0;
    int m_bitCount = 0;
};

// 32-bit bitmap entry of an icon or cursor: header with doubled height,
// bottom-up BGRA pixels, then the AND mask (set where fully transparent).
QByteArray iconBitmap(const QImage &source)
{
    const QImage image = source.convertToFormat(QImage::Format_ARGB32);
    QByteArray out;
    const int w = image.width(), h = image.height();
    const int maskStride = ((w + 31) / 32) * 4;
    infoHeader(out, w, 2 * h, 32, 0, uint32_t(w * h * 4 + maskStride * h), 0);
    for (int y = h - 1; y >= 0; --y)
        out.append(reinterpret_cast<const char *>(image.constScanLine(y)), w * 4);
    for (int y = h - 1; y >= 0; --y) {
        QByteArray row(maskStride, '\0');
        const QRgb *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < w; ++x)
            if (qAlpha(line[x]) == 0)
                row[x / 8] = char(row[x / 8] | (0x80 >> (x % 8)));
        out.append(row);
    }
    return out;
}

QByteArray iconFile(const QList<QImage> &images, int type, QPoint hotSpot)
{
    QByteArray out;
    put16(out, 0);
    put16(out, uint32_t(type));
    put16(out, uint32_t(images.size()));
    QList<QByteArray> entries;
    for (const QImage &image : images) {
        if (image.width() >= 256 || image.height() >= 256) {
            QByteArray png;
            QBuffer buffer(&png);
            buffer.open(QIODevice::WriteOnly);
            image.save(&buffer, "png");
            entries.append(png);
        } else {
            entries.append(iconBitmap(image));
        }
    }
    uint32_t offset = uint32_t(6 + 16 * images.size());
    for (int i = 0; i < images.size(); ++i) {
        const QImage &image = images[i];
        out.append(char(image.width() >= 256 ? 0 : image.width()));
        out.append(char(image.height() >= 256 ? 0 : image.height()));
        out.append('\0'); // colour count: none for 32-bit entries
        out.append('\0');
        if (type == 2) {
            put16(out, uint32_t(hotSpot.x()));
            put16(out, uint32_t(hotSpot.y()));
        } else {
            put16(out, 1);  // planes
            put16(out, 32); // bits per pixel
        }
        put32(out, uint32_t(entries[i].size()));
        put32(out, offset);
        offset += uint32_t(entries[i].size());
    }
    for (const QByteArray &entry : entries)
        out.append(entry);
    return out;
}

} // namespace

QImage toPaletteImage(const QImage &image)
{
    QImage opaque = image.convertToFormat(QImage::Format_RGB32);
    return opaque.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither | Qt::AvoidDither);
}

QByteArray writeBmp24(const QImage &source)
{
    const QImage image = source.convertToFormat(QImage::Format_RGB32);
    const int w = image.width(), h = image.height();
    const int stride = (w * 3 + 3) & ~3;
    QByteArray out;
    fileHeader(out);
    infoHeader(out, w, h, 24, 0, uint32_t(stride * h), 0);
    const int offset = int(out.size());
    for (int y = h - 1; y >= 0; --y) {
        const QRgb *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        QByteArray row(stride, '\0');
        for (int x = 0; x < w; ++x) {
            row[3 * x] = char(qBlue(line[x]));
            row[3 * x + 1] = char(qGreen(line[x]));
            row[3 * x + 2] = char(qRed(line[x]));
        }
        out.append(row);
    }
    finishFile(out, offset);
    return out;
}

QByteArray writeBmpRle8(const QImage &source)
{
    const QImage image = toPaletteImage(source);
    const int w = image.width(), h = image.height();
    QByteArray pixels;
    for (int y = h - 1; y >= 0; --y) {
        encodeRle8Row(pixels, image.constScanLine(y), w);
        if (y > 0) {
            pixels.append('\0'); // end of line
            pixels.append('\0');
        }
    }
    pixels.append('\0'); // end of bitmap
    pixels.append('\1');
    QByteArray out;
    fileHeader(out);
    infoHeader(out, w, h, 8, 1, uint32_t(pixels.size()), uint32_t(image.colorCount()));
    colourTable(out, image.colorTable());
    const int offset = int(out.size());
    out.append(pixels);
    finishFile(out, offset);
    return out;
}

QByteArray writeHeaderlessDib(const QImage &source)
{
    const QImage image = toPaletteImage(source);
    const int w = image.width(), h = image.height();
    const int stride = (w + 3) & ~3;
    QByteArray out;
    infoHeader(out, w, h, 8, 0, uint32_t(stride * h), uint32_t(image.colorCount()));
    colourTable(out, image.colorTable());
    for (int y = h - 1; y >= 0; --y) {
        QByteArray row(stride, '\0');
        memcpy(row.data(), image.constScanLine(y), size_t(w));
        out.append(row);
    }
    return out;
}

QByteArray writeGif(const QImage &source)
{
    const QImage argb = source.convertToFormat(QImage::Format_ARGB32);
    QImage image = toPaletteImage(argb);
    QList<QRgb> table = image.colorTable();
    int transparent = -1;
    for (int y = 0; y < argb.height() && transparent < 0; ++y)
        for (int x = 0; x < argb.width(); ++x)
            if (qAlpha(argb.pixel(x, y)) == 0) {
                if (table.size() < 256) {
                    transparent = int(table.size());
                    table.append(qRgb(0, 0, 0));
                } else {
                    transparent = 0;
                }
                break;
            }
    int bits = 1;
    while ((1 << bits) < table.size())
        ++bits;
    while (table.size() < (1 << bits))
        table.append(qRgb(0, 0, 0));

    const int w = image.width(), h = image.height();
    std::vector<uint8_t> indices;
    indices.reserve(size_t(w) * size_t(h));
    for (int y = 0; y < h; ++y) {
        const uchar *line = image.constScanLine(y);
        const QRgb *alpha = reinterpret_cast<const QRgb *>(argb.constScanLine(y));
        for (int x = 0; x < w; ++x)
            indices.push_back(transparent >= 0 && qAlpha(alpha[x]) == 0 ? uint8_t(transparent) : line[x]);
    }

    QByteArray out("GIF89a");
    put16(out, uint32_t(w));
    put16(out, uint32_t(h));
    out.append(char(0x80 | 0x70 | (bits - 1))); // global table, 8-bit colour resolution
    out.append('\0');                         // background index
    out.append('\0');                         // no aspect ratio
    for (QRgb c : table) {
        out.append(char(qRed(c)));
        out.append(char(qGreen(c)));
        out.append(char(qBlue(c)));
    }
    if (transparent >= 0) {
        out.append("\x21\xf9\x04\x01\0\0", 6);
        out.append(char(transparent));
        out.append('\0');
    }
    out.append(',');
    put16(out, 0);
    put16(out, 0);
    put16(out, uint32_t(w));
    put16(out, uint32_t(h));
    out.append('\0');
    const int minCodeSize = std::max(2, bits);
    out.append(char(minCodeSize));
    LzwEncoder(out, minCodeSize).encode(indices);
    out.append(';');
    return out;
}

QByteArray writeIco(const QList<QImage> &images)
{
    return iconFile(images, 1, {});
}

QByteArray writeCur(const QImage &image, QPoint hotSpot)
{
    return iconFile({image}, 2, hotSpot);
}

} // namespace samples
