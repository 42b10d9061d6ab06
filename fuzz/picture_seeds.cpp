// picture_seeds KIND OUTDIR: writes the seed files of one picture fuzzer
// (KIND is bmp, gif, icon or jpeg), all of our own making: small pictures
// from the sample writers and Qt's JPEG writer, plus variants that reach the
// decoders' less common branches.
#include "tools/samples/SampleWriters.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImageWriter>
#include <QPainter>

#include <cstdio>
#include <map>

namespace {

using Seeds = std::map<QString, QByteArray>;

QImage testCard(int w, int h, bool alpha = false)
{
    QImage image(w, h, QImage::Format_ARGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, qRgba(x * 255 / w, y * 255 / h, (x ^ y) & 0xff, alpha ? (x + y) * 255 / (w + h) : 255));
    QPainter painter(&image);
    painter.setPen(Qt::black);
    painter.drawEllipse(QRect(w / 4, h / 4, w / 2, h / 2));
    return image;
}

QByteArray le16(uint32_t v)
{
    QByteArray bytes;
    bytes.append(char(v & 0xff));
    bytes.append(char((v >> 8) & 0xff));
    return bytes;
}

QByteArray le32(uint32_t v)
{
    return le16(v & 0xffff) + le16(v >> 16);
}

// A bitmap file with a 40-byte or larger info header; `extra` follows the
// 40 bytes (masks, the rest of a V4/V5 header), then the table, then the bits.
QByteArray bitmapFile(int w, int h, int bpp, uint32_t compression, const QByteArray &extra, const QByteArray &table,
                      const QByteArray &bits)
{
    const QByteArray info = le32(uint32_t(40 + extra.size())) + le32(uint32_t(w)) + le32(uint32_t(h)) + le16(1)
                            + le16(uint32_t(bpp)) + le32(compression) + le32(uint32_t(bits.size())) + le32(2835)
                            + le32(2835) + le32(uint32_t(table.size() / 4)) + le32(0) + extra;
    const uint32_t offset = uint32_t(14 + info.size() + table.size());
    return QByteArray("BM") + le32(offset + uint32_t(bits.size())) + le32(0) + le32(offset) + info + table + bits;
}

QByteArray jpeg(const QImage &image, int quality, bool progressive, bool optimized = false)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(quality);
    writer.setProgressiveScanWrite(progressive);
    writer.setOptimizedWrite(optimized);
    writer.write(image);
    return bytes;
}

// The JPEG with an EXIF segment giving `orientation` right after its SOI.
QByteArray withOrientation(const QByteArray &data, int orientation)
{
    QByteArray tiff("MM\0\x2a\0\0\0\x08\0\x01\x01\x12\0\x03\0\0\0\x01", 18);
    tiff += char(0), tiff += char(orientation), tiff += QByteArray(6, '\0');
    const QByteArray payload = QByteArray("Exif\0\0", 6) + tiff;
    const int length = int(payload.size()) + 2;
    return data.left(2) + QByteArray("\xff\xe1") + char(length >> 8) + char(length & 0xff) + payload + data.mid(2);
}

// An uncompressed bitmap of `image` at `bpp` bits a pixel, large enough to
// be read reduced: a grey ramp for the colour table, 5-5-5 for 16 bits.
QByteArray uncompressedBitmap(const QImage &image, int bpp, bool topDown)
{
    const int w = image.width(), h = image.height();
    const int stride = ((w * bpp + 31) / 32) * 4;
    QByteArray table;
    if (bpp <= 8)
        for (int i = 0, n = 1 << bpp; i < n; ++i)
            table += QByteArray(3, char(i * 255 / (n - 1))) + '\0';
    QByteArray bits(qsizetype(stride) * h, '\0');
    for (int row = 0; row < h; ++row) {
        auto *dst = reinterpret_cast<uint8_t *>(bits.data()) + qsizetype(stride) * row;
        for (int x = 0; x < w; ++x) {
            const QRgb c = image.pixel(x, topDown ? row : h - 1 - row);
            if (bpp <= 8) {
                const int index = qGray(c) >> (8 - bpp);
                dst[x * bpp / 8] = uint8_t(dst[x * bpp / 8] | index << (8 - bpp - x * bpp % 8));
            } else if (bpp == 16) {
                const uint32_t v = uint32_t(qRed(c) >> 3 << 10 | qGreen(c) >> 3 << 5 | qBlue(c) >> 3);
                dst[2 * x] = uint8_t(v), dst[2 * x + 1] = uint8_t(v >> 8);
            } else {
                const int step = bpp / 8;
                dst[step * x] = uint8_t(qBlue(c)), dst[step * x + 1] = uint8_t(qGreen(c)), dst[step * x + 2] = uint8_t(qRed(c));
            }
        }
    }
    return bitmapFile(w, topDown ? -h : h, bpp, 0, {}, table, bits);
}

Seeds bmpSeeds()
{
    Seeds s;
    const QImage card = testCard(13, 7);
    s["rgb24.bmp"] = samples::writeBmp24(card);
    s["rle8.bmp"] = samples::writeBmpRle8(testCard(17, 9));
    s["headerless8.dib"] = samples::writeHeaderlessDib(card);
    // 4-bit RLE: an encoded run, a literal run, a delta, end of line, end of bitmap.
    const QByteArray grey = QByteArray("\0\0\0\0", 4) + QByteArray("\x80\x80\x80\0", 4) + QByteArray("\xff\xff\xff\0", 4);
    s["rle4.bmp"] = bitmapFile(8, 3, 4, 2, {}, grey, QByteArray("\x04\x12\x00\x04\x21\x02\x00\x00\x02\x01\x00\x02\x01\x01\x03\x10\x00\x01", 18));
    // 16-bit 5-6-5 bit fields, bottom-up; 32-bit with an alpha mask, top-down, V5 header.
    QByteArray rgb565;
    for (int i = 0; i < 4 * 2; ++i)
        rgb565 += le16(uint32_t(i * 0x1234));
    s["bitfields565.bmp"] = bitmapFile(4, 2, 16, 3, le32(0xf800) + le32(0x07e0) + le32(0x001f), {}, rgb565);
    QByteArray rgba;
    for (int i = 0; i < 3 * 3; ++i)
        rgba += le32(0x11223344u * uint32_t(i + 1));
    const QByteArray v5 = le32(0x00ff0000) + le32(0x0000ff00) + le32(0x000000ff) + le32(0xff000000) + QByteArray("BGRs", 4)
                          + QByteArray(124 - 60, '\0');
    s["alpha-v5-topdown.bmp"] = bitmapFile(3, -3, 32, 3, v5, {}, rgba);
    // 1-bit with a two-colour table.
    s["mono.bmp"] = bitmapFile(9, 2, 1, 0, {}, QByteArray("\0\0\0\0\xff\xff\xff\0", 8), QByteArray("\xa5\x80\0\0\x5a\x00\0\0", 8));
    // OS/2 1.x: a 12-byte core header and 3-byte colour entries.
    const QByteArray core = le32(12) + le16(2) + le16(2) + le16(1) + le16(8);
    const QByteArray coreTable = QByteArray("\0\0\xff\0\xff\0", 6);
    s["os2-core.bmp"] = QByteArray("BM") + le32(14 + 12 + 6 + 8) + le32(0) + le32(14 + 12 + 6) + core + coreTable
                        + QByteArray("\0\x01\0\0\x01\0\0\0", 8);
    // Pictures that are read reduced when shown at a third of their size:
    // odd sides leave narrower blocks at the right and bottom edges.
    s["reduce-1bit.bmp"] = uncompressedBitmap(testCard(203, 61), 1, false);
    s["reduce-4bit.bmp"] = uncompressedBitmap(testCard(90, 62), 4, true);
    s["reduce-8bit.bmp"] = uncompressedBitmap(testCard(120, 90), 8, false);
    s["reduce-16bit.bmp"] = uncompressedBitmap(testCard(64, 47), 16, false);
    s["reduce-24bit.bmp"] = uncompressedBitmap(testCard(97, 64), 24, true);
    s["reduce-32bit.bmp"] = uncompressedBitmap(testCard(60, 41), 32, false);
    return s;
}

Seeds gifSeeds()
{
    Seeds s;
    s["card.gif"] = samples::writeGif(testCard(16, 11));
    s["transparent.gif"] = samples::writeGif(testCard(9, 9, true).convertToFormat(QImage::Format_ARGB32));
    QImage flat(5, 3, QImage::Format_RGB32);
    flat.fill(Qt::red);
    s["flat.gif"] = samples::writeGif(flat);
    // The same picture marked interlaced: rows arrive in the four-pass order.
    QByteArray interlaced = samples::writeGif(testCard(6, 10));
    const qsizetype descriptor = interlaced.indexOf(',', 13);
    if (descriptor > 0 && descriptor + 9 < interlaced.size())
        interlaced[descriptor + 9] = char(interlaced.at(descriptor + 9) | 0x40);
    s["interlaced.gif"] = interlaced;
    return s;
}

Seeds iconSeeds()
{
    Seeds s;
    s["two-sizes.ico"] = samples::writeIco({testCard(16, 16, true), testCard(32, 32)});
    s["png-entry.ico"] = samples::writeIco({testCard(256, 256)});
    s["arrow.cur"] = samples::writeCur(testCard(32, 32, true), QPoint(3, 4));
    return s;
}

Seeds jpegSeeds()
{
    Seeds s;
    const QImage card = testCard(64, 40);
    s["baseline.jpg"] = jpeg(card, 80, false);
    s["progressive.jpg"] = jpeg(card, 60, true);
    s["optimized-large.jpg"] = jpeg(testCard(230, 150), 30, false, true);
    s["grey.jpg"] = jpeg(card.convertToFormat(QImage::Format_Grayscale8), 70, false);
    s["rotated.jpg"] = withOrientation(jpeg(testCard(24, 16), 75, false), 6);
    return s;
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s bmp|gif|icon|jpeg OUTDIR\n", argv[0]);
        return 2;
    }
    const QByteArray kind = argv[1];
    const Seeds seeds = kind == "bmp" ? bmpSeeds() : kind == "gif" ? gifSeeds() : kind == "icon" ? iconSeeds()
                        : kind == "jpeg"                            ? jpegSeeds()
                                                                    : Seeds{};
    if (seeds.empty()) {
        std::fprintf(stderr, "%s: unknown kind %s\n", argv[0], argv[1]);
        return 2;
    }
    const QString dir = QFile::decodeName(argv[2]);
    QDir().mkpath(dir);
    for (const auto &[name, data] : seeds) {
        QFile file(dir + QLatin1Char('/') + name);
        if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size()) {
            std::fprintf(stderr, "%s: cannot write %s\n", argv[0], qPrintable(file.fileName()));
            return 1;
        }
    }
    return 0;
}
