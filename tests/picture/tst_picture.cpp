#include "picture/Loader.h"
#include "picture/metafile/writer/MetafileWriter.h"
#include "tests/support/TestEnvironment.h"
#include "tools/samples/SampleWriters.h"
#include "tools/samples/Samples.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <sys/resource.h>

using picture::DecodeSize;

namespace {

struct ManifestRow {
    QString path;
    QString format;
    QString valid;
    QSize size;
    QString detail;
};

const QStringList kRasterFormats = {"bmp", "dib", "gif", "jpeg", "ico", "cur"};

QList<ManifestRow> rasterManifest()
{
    QList<ManifestRow> rows;
    QFile file(testsupport::corpusDir() + "/MANIFEST.tsv");
    if (!file.open(QIODevice::ReadOnly))
        return rows;
    file.readLine(); // header
    while (!file.atEnd()) {
        const QStringList f = QString::fromUtf8(file.readLine()).chopped(1).split('\t');
        if (f.size() < 10 || !kRasterFormats.contains(f[1]))
            continue;
        rows.append({f[0], f[1], f[4], QSize(f[5].toInt(), f[6].toInt()), f[9]});
    }
    return rows;
}

QByteArray encode(const QImage &image, const char *format, int quality = 90)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    writer.setQuality(quality);
    writer.write(image);
    return bytes;
}

// Inserts an EXIF segment with the given orientation right after a JPEG's SOI marker.
QByteArray withOrientation(const QByteArray &jpeg, int orientation)
{
    QByteArray tiff("MM\0\x2a\0\0\0\x08", 8);
    tiff += QByteArray("\0\x01", 2);                              // one entry
    tiff += QByteArray("\x01\x12\0\x03\0\0\0\x01", 8);            // orientation, SHORT, count 1
    tiff += char(0), tiff += char(orientation), tiff += QByteArray(2, '\0');
    tiff += QByteArray(4, '\0');                                  // no next IFD
    const QByteArray payload = QByteArray("Exif\0\0", 6) + tiff;
    QByteArray segment("\xff\xe1");
    segment += char((payload.size() + 2) >> 8), segment += char((payload.size() + 2) & 0xff);
    return jpeg.left(2) + segment + payload + jpeg.mid(2);
}

// Mean absolute difference per channel, for lossy comparisons.
double meanDifference(const QImage &a, const QImage &b)
{
    if (a.size() != b.size())
        return 1e9;
    const QImage x = a.convertToFormat(QImage::Format_RGB32), y = b.convertToFormat(QImage::Format_RGB32);
    double sum = 0;
    for (int row = 0; row < x.height(); ++row) {
        const QRgb *p = reinterpret_cast<const QRgb *>(x.constScanLine(row));
        const QRgb *q = reinterpret_cast<const QRgb *>(y.constScanLine(row));
        for (int col = 0; col < x.width(); ++col)
            sum += std::abs(qRed(p[col]) - qRed(q[col])) + std::abs(qGreen(p[col]) - qGreen(q[col]))
                + std::abs(qBlue(p[col]) - qBlue(q[col]));
    }
    return sum / (3.0 * x.width() * x.height());
}

// Pixels equal, where fully transparent pixels only need to agree on being transparent.
bool samePixels(const QImage &a, const QImage &b)
{
    if (a.size() != b.size())
        return false;
    const QImage x = a.convertToFormat(QImage::Format_ARGB32), y = b.convertToFormat(QImage::Format_ARGB32);
    for (int row = 0; row < x.height(); ++row)
        for (int col = 0; col < x.width(); ++col) {
            const QRgb p = x.pixel(col, row), q = y.pixel(col, row);
            if (qAlpha(p) == 0 && qAlpha(q) == 0)
                continue;
            if (p != q)
                return false;
        }
    return true;
}

QImage noise(int w, int h, int colours)
{
    QImage image(w, h, QImage::Format_RGB32);
    QRandomGenerator random(42);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int c = int(random.bounded(colours));
            image.setPixel(x, y, qRgb(c, (c * 7) % 256, 255 - c));
        }
    return image;
}

QByteArray le32(uint32_t v)
{
    QByteArray b(4, '\0');
    for (int i = 0; i < 4; ++i)
        b[i] = char((v >> (8 * i)) & 0xff);
    return b;
}

// A 4 x 2 RLE8 bitmap with a two-colour table and the given compressed data.
QByteArray rle8Bitmap(const QByteArray &pixels)
{
    QByteArray info = le32(40) + le32(4) + le32(2) + QByteArray("\x01\0\x08\0", 4) + le32(1) + le32(uint32_t(pixels.size()))
        + le32(0) + le32(0) + le32(2) + le32(0);
    const QByteArray palette = QByteArray("\0\0\xff\0", 4) + QByteArray("\xff\0\0\0", 4); // red, blue
    const uint32_t offset = 14 + 40 + 8;
    return QByteArray("BM") + le32(offset + uint32_t(pixels.size())) + le32(0) + le32(offset) + info + palette + pixels;
}

// An uncompressed bitmap file of `image` at 8 (a 256-grey colour table, of
// which only `colours` entries are stored), 16, 24 or 32 bits per pixel.
QByteArray bitmapOf(const QImage &image, int bpp, bool topDown, int colours = 256)
{
    const int w = image.width(), h = image.height();
    const int stride = ((w * bpp + 31) / 32) * 4;
    QByteArray palette;
    if (bpp == 8)
        for (int i = 0; i < colours; ++i)
            palette += char(i), palette += char(i), palette += char(i), palette += char(0);
    QByteArray pixels(qsizetype(stride) * h, '\0');
    for (int row = 0; row < h; ++row) {
        const int y = topDown ? row : h - 1 - row;
        auto *dst = reinterpret_cast<uint8_t *>(pixels.data()) + qsizetype(stride) * row;
        for (int x = 0; x < w; ++x) {
            const QRgb c = image.pixel(x, y);
            if (bpp == 8) {
                dst[x] = uint8_t(qGray(c));
            } else if (bpp == 16) {
                const uint16_t v = uint16_t((qRed(c) >> 3) << 10 | (qGreen(c) >> 3) << 5 | qBlue(c) >> 3);
                dst[2 * x] = uint8_t(v), dst[2 * x + 1] = uint8_t(v >> 8);
            } else {
                uint8_t *p = dst + x * (bpp / 8);
                p[0] = uint8_t(qBlue(c)), p[1] = uint8_t(qGreen(c)), p[2] = uint8_t(qRed(c));
            }
        }
    }
    const QByteArray info = le32(40) + le32(uint32_t(w)) + le32(uint32_t(topDown ? -h : h)) + QByteArray("\x01\0", 2)
        + char(bpp) + char(0) + le32(0) + le32(uint32_t(pixels.size())) + le32(2835) + le32(2835)
        + le32(bpp == 8 ? uint32_t(colours) : 0) + le32(0);
    const uint32_t offset = uint32_t(14 + 40 + palette.size());
    return QByteArray("BM") + le32(offset + uint32_t(pixels.size())) + le32(0) + le32(offset) + info + palette + pixels;
}

// A smooth picture with some grain.
QImage grainyGradient(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    QRandomGenerator random(7);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int d = int(random.bounded(13)) - 6;
            image.setPixel(x, y, qRgb(qBound(0, x * 255 / w + d, 255), qBound(0, y * 255 / h + d, 255),
                                      qBound(0, 128 + (x - y) / 4 + d, 255)));
        }
    return image;
}

int maxDifference(const QImage &a, const QImage &b)
{
    int most = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            most = std::max({most, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)), std::abs(qBlue(p) - qBlue(q))});
        }
    return most;
}

QByteArray be32(uint32_t v)
{
    QByteArray b(4, '\0');
    for (int i = 0; i < 4; ++i)
        b[i] = char((v >> (24 - 8 * i)) & 0xff);
    return b;
}

uint32_t crc32(const QByteArray &bytes)
{
    uint32_t crc = 0xffffffff;
    for (char c : bytes) {
        crc ^= uint8_t(c);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1)));
    }
    return ~crc;
}

// A 16 x 16 PNG whose second chunk, a text chunk, claims 1.5 GiB it does
// not have: libpng allocates and clears that much before it finds out.
QByteArray pngWithHugeTextChunk()
{
    const QByteArray ihdr = QByteArray("IHDR") + be32(16) + be32(16) + QByteArray("\x08\x06\0\0\0", 5);
    return QByteArray("\x89PNG\r\n\x1a\n") + be32(13) + ihdr + be32(crc32(ihdr)) + be32(0x60000000) + QByteArray("tEXt")
           + QByteArray(40, '\0');
}

} // namespace

class TestPicture : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();

    void corpusValidFileLoads_data();
    void corpusValidFileLoads();
    void corpusInvalidFileIsRefused_data();
    void corpusInvalidFileIsRefused();
    void corpusQuestionableFilesNeverCrash();

    void bitmapVariantsDecodeAlike_data();
    void bitmapVariantsDecodeAlike();
    void corpusGifFirstFrameMatchesQt_data();
    void corpusGifFirstFrameMatchesQt();

    void formatComesFromContent_data();
    void formatComesFromContent();

    void rleDeltasAndRowOverflow();
    void reducedBitmapMatchesFullDecode_data();
    void reducedBitmapMatchesFullDecode();
    void damagedBitmapFailsReducedAsInFull();
    void oversizedHeadersGiveErrors_data();
    void oversizedHeadersGiveErrors();
    void hostileFilesStayInBounds_data();
    void hostileFilesStayInBounds();

    void reducedJpegKeepsNaturalSize();
    void orientationIsAppliedOnce_data();
    void orientationIsAppliedOnce();
    void syntheticOrientationWithReducedDecode();
    void hugeJpegShowsReducedButNotInFull();
    void imageDrawnForAScaledScreenKeepsItsNaturalSize();

    void samplesRoundTrip_data();
    void samplesRoundTrip();
    void writersAgreeWithQtReaders();

private:
    QTemporaryDir m_dir;
    QString m_corpus;
};

void TestPicture::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_corpus = testsupport::corpusDir();
}

void TestPicture::corpusValidFileLoads_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QSize>("natural");
    if (m_corpus.isEmpty())
        QSKIP("the picture corpus (../shared/corpus) is not present");
    for (const ManifestRow &row : rasterManifest()) {
        if (row.valid != "yes")
            continue;
        // The manifest gives the stored size; a rotating EXIF orientation swaps it.
        static const QRegularExpression rotated("EXIF orientation [5-8]");
        QTest::addRow("%s", qPrintable(row.path)) << row.path << (rotated.match(row.detail).hasMatch() ? row.size.transposed() : row.size);
    }
}

void TestPicture::corpusValidFileLoads()
{
    QFETCH(QString, path);
    QFETCH(QSize, natural);
    const picture::LoadResult result = picture::load(m_corpus + '/' + path);
    QVERIFY2(result.ok(), qPrintable(result.error));
    QCOMPARE(result.picture.naturalSize(), natural);
    QCOMPARE(result.picture.image().size(), natural);
}

void TestPicture::corpusInvalidFileIsRefused_data()
{
    QTest::addColumn<QString>("path");
    if (m_corpus.isEmpty())
        QSKIP("the picture corpus (../shared/corpus) is not present");
    for (const ManifestRow &row : rasterManifest())
        if (row.valid == "no")
            QTest::addRow("%s", qPrintable(row.path)) << row.path;
}

void TestPicture::corpusInvalidFileIsRefused()
{
    QFETCH(QString, path);
    for (const DecodeSize size : {DecodeSize::natural(), DecodeSize::within(QSize(100, 100))}) {
        const picture::LoadResult result = picture::load(m_corpus + '/' + path, size);
        QVERIFY2(!result.ok(), "a damaged file loaded");
        QVERIFY(result.picture.isNull());
        QVERIFY2(result.error.startsWith(m_corpus + '/' + path + ": "), qPrintable(result.error));
    }
}

void TestPicture::corpusQuestionableFilesNeverCrash()
{
    if (m_corpus.isEmpty())
        QSKIP("the picture corpus (../shared/corpus) is not present");
    for (const ManifestRow &row : rasterManifest()) {
        if (row.valid != "questionable")
            continue;
        const picture::LoadResult result = picture::load(m_corpus + '/' + row.path);
        // Either a picture whose pixels match its size, or a reason.
        if (result.ok())
            QCOMPARE(result.picture.image().size(), result.picture.naturalSize());
        else
            QVERIFY2(!result.error.isEmpty(), qPrintable(row.path));
    }
}

void TestPicture::bitmapVariantsDecodeAlike_data()
{
    // The BMP Suite stores one picture in many layouts (bit depths, RLE, OS/2
    // headers, top-down, bit fields): each variant must give the same pixels
    // as the plain one, which Qt's reader checks in turn.
    QTest::addColumn<QString>("reference");
    QTest::addColumn<QString>("variant");
    if (m_corpus.isEmpty())
        QSKIP("the picture corpus (../shared/corpus) is not present");
    const QString suite = "bmp/pillow-bmpsuite-";
    const QList<std::pair<QString, QStringList>> groups = {
        {"g-pal8", {"g-pal8-0", "g-pal8os2", "g-pal8rle", "g-pal8topdown", "g-pal8v4", "g-pal8v5", "q-pal8os2sp",
                    "q-pal8os2v2", "q-pal8os2v2-16", "q-pal8offs", "q-pal8oversizepal"}},
        {"g-pal4", {"g-pal4rle"}},
        {"g-pal1", {"g-pal1wb"}},
        {"g-rgb16-565", {"g-rgb16-565pal"}},
        {"g-rgb24", {"g-rgb24pal", "g-rgb32", "g-rgb32bf", "q-rgb24largepal", "q-rgb32bf-xbgr", "q-rgb32fakealpha", "q-rgb32h52"}},
    };
    for (const auto &[reference, variants] : groups)
        for (const QString &variant : variants)
            QTest::addRow("%s", qPrintable(variant)) << suite + reference + ".bmp" << suite + variant + ".bmp";
    QTest::newRow("OS/2 RLE24") << suite + "g-pal8.bmp" << "bmp/imagers-rgb24rle24.bmp";
    QTest::newRow("8-bit top-down") << "bmp/imagers-Info_8_Bit.bmp" << "bmp/imagers-Info_8_Bit_Top_Down.bmp";
    QTest::newRow("565 top-down") << "bmp/imagers-V3_R5_G6_B5.bmp" << "bmp/imagers-V3_R5_G6_B5_Top_Down.bmp";
}

void TestPicture::bitmapVariantsDecodeAlike()
{
    QFETCH(QString, reference);
    QFETCH(QString, variant);
    const picture::LoadResult expected = picture::load(m_corpus + '/' + reference);
    const picture::LoadResult actual = picture::load(m_corpus + '/' + variant);
    QVERIFY2(expected.ok() && actual.ok(), qPrintable(expected.error + actual.error));
    QVERIFY(samePixels(actual.picture.image(), expected.picture.image()));
    if (reference.contains("-g-pal") || reference.endsWith("-g-rgb24.bmp"))
        QVERIFY(samePixels(expected.picture.image(), QImage(m_corpus + '/' + reference, "bmp")));
}

void TestPicture::corpusGifFirstFrameMatchesQt_data()
{
    QTest::addColumn<QString>("path");
    if (m_corpus.isEmpty())
        QSKIP("the picture corpus (../shared/corpus) is not present");
    for (const ManifestRow &row : rasterManifest())
        if (row.format == "gif" && row.valid == "yes")
            QTest::addRow("%s", qPrintable(row.path)) << row.path;
}

void TestPicture::corpusGifFirstFrameMatchesQt()
{
    // Qt's GIF reader is an independent decoder of the same frame: where both
    // give a pixel, it must agree (our canvas may be larger, see the loader).
    QFETCH(QString, path);
    const picture::LoadResult ours = picture::load(m_corpus + '/' + path);
    QVERIFY2(ours.ok(), qPrintable(ours.error));
    QImageReader reader(m_corpus + '/' + path, "gif");
    const QImage theirs = reader.read().convertToFormat(QImage::Format_ARGB32);
    const QImage mine = ours.picture.image().convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < std::min(mine.height(), theirs.height()); ++y)
        for (int x = 0; x < std::min(mine.width(), theirs.width()); ++x) {
            const QRgb a = mine.pixel(x, y), b = theirs.pixel(x, y);
            if (qAlpha(a) == 255 && qAlpha(b) == 255 && a != b)
                QFAIL(qPrintable(QString("pixel %1,%2 differs").arg(x).arg(y)));
        }
}

void TestPicture::formatComesFromContent_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<bool>("readable");
    QImage image(12, 8, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    const QByteArray bmp = samples::writeBmp24(image);
    QTest::newRow("bmp named .dib") << "picture.dib" << bmp << true;
    QTest::newRow("bmp named .rle") << "picture.rle" << bmp << true;
    QTest::newRow("bmp named .jpg") << "picture.jpg" << bmp << true;
    QTest::newRow("headerless dib named .bmp") << "picture.bmp" << samples::writeHeaderlessDib(image) << true;
    QTest::newRow("gif named .ico") << "picture.ico" << samples::writeGif(image) << true;
    QTest::newRow("jpeg named .gif") << "picture.gif" << encode(image, "jpeg") << true;
    QTest::newRow("png with .jpg name") << "png-with-jpg-extension.jpg" << encode(image, "png") << false;
    QTest::newRow("png with .png name") << "picture.png" << encode(image, "png") << false;
    QTest::newRow("text named .jpg") << "text.jpg" << QByteArray("This is not a picture.\n") << false;
    QTest::newRow("empty file") << "empty.bmp" << QByteArray() << false;
    QTest::newRow("truncated bmp") << "truncated.bmp" << bmp.left(bmp.size() - 10) << false;
    if (QImageWriter::supportedImageFormats().contains("tiff"))
        QTest::newRow("tiff named .bmp") << "picture.bmp" << encode(image, "tiff") << false;
    if (QImageWriter::supportedImageFormats().contains("webp"))
        QTest::newRow("webp named .gif") << "picture.gif" << encode(image, "webp") << false;
}

void TestPicture::formatComesFromContent()
{
    QFETCH(QString, fileName);
    QFETCH(QByteArray, data);
    QFETCH(bool, readable);
    const QString path = m_dir.filePath(fileName);
    QVERIFY(testsupport::writeFile(path, data));
    const picture::LoadResult result = picture::load(path);
    QCOMPARE(result.ok(), readable);
    if (readable)
        QCOMPARE(result.picture.naturalSize(), QSize(12, 8));
    else
        QVERIFY2(result.error.startsWith(path + ": "), qPrintable(result.error));
}

void TestPicture::rleDeltasAndRowOverflow()
{
    // Bottom row: two red, then a delta of (1, 1) to the top row's x 3, one blue, end of bitmap.
    const QByteArray withDelta("\x02\x00" "\x00\x02\x01\x01" "\x01\x01" "\x00\x01", 10);
    const picture::LoadResult result = picture::loadFromData(rle8Bitmap(withDelta));
    QVERIFY2(result.ok(), qPrintable(result.error));
    const QImage &image = result.picture.image();
    QCOMPARE(image.pixel(0, 1), qRgb(255, 0, 0));
    QCOMPARE(image.pixel(1, 1), qRgb(255, 0, 0));
    QCOMPARE(qAlpha(image.pixel(2, 1)), 0); // skipped by the delta
    QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
    QCOMPARE(image.pixel(3, 0), qRgb(0, 0, 255));

    for (const QByteArray &bad : {QByteArray("\x05\x00\x00\x01", 4),        // run longer than the row
                                  QByteArray("\x00\x02\x00\x05\x00\x01", 6), // delta below the picture
                                  QByteArray("\x02\x00\x02\x07", 4),        // colour index beyond the table
                                  QByteArray("\x02\x00\x00\x00", 4)}) {     // no end-of-bitmap code
        const picture::LoadResult refused = picture::loadFromData(rle8Bitmap(bad));
        QVERIFY2(!refused.ok(), bad.toHex().constData());
    }
}

void TestPicture::reducedBitmapMatchesFullDecode_data()
{
    QTest::addColumn<int>("bpp");
    QTest::addColumn<bool>("topDown");
    QTest::addColumn<QSize>("natural");
    QTest::addColumn<QSize>("box");
    QTest::addColumn<QSize>("shown");
    // 335 x 202 by 3 and 2003 x 1337 by 10: padded rows, a narrower last
    // column and a shorter last row of blocks.
    QTest::newRow("24-bit bottom-up") << 24 << false << QSize(335, 202) << QSize(100, 100) << QSize(100, 60);
    QTest::newRow("24-bit top-down") << 24 << true << QSize(335, 202) << QSize(100, 100) << QSize(100, 60);
    QTest::newRow("32-bit bottom-up") << 32 << false << QSize(335, 202) << QSize(100, 100) << QSize(100, 60);
    QTest::newRow("32-bit top-down") << 32 << true << QSize(335, 202) << QSize(100, 100) << QSize(100, 60);
    QTest::newRow("8-bit colour table") << 8 << false << QSize(601, 301) << QSize(150, 150) << QSize(150, 75);
    QTest::newRow("16-bit, exactly half") << 16 << true << QSize(402, 300) << QSize(201, 150) << QSize(201, 150);
    QTest::newRow("24-bit, odd width, by 10") << 24 << false << QSize(2003, 1337) << QSize(200, 200) << QSize(200, 133);
}

void TestPicture::reducedBitmapMatchesFullDecode()
{
    QFETCH(int, bpp);
    QFETCH(bool, topDown);
    QFETCH(QSize, natural);
    QFETCH(QSize, box);
    QFETCH(QSize, shown);
    const QByteArray bytes = bitmapOf(grainyGradient(natural.width(), natural.height()), bpp, topDown);
    const QString path = m_dir.filePath(QStringLiteral("reduced-%1.bmp").arg(QTest::currentDataTag()));
    QVERIFY(testsupport::writeFile(path, bytes));

    const picture::LoadResult full = picture::load(path);
    QVERIFY2(full.ok(), qPrintable(full.error));
    QCOMPARE(full.picture.image().size(), natural);
    // Read from the file a few rows at a time, and from the bytes in memory.
    const picture::LoadResult fromFile = picture::load(path, DecodeSize::within(box));
    const picture::LoadResult fromBytes = picture::loadFromData(bytes, DecodeSize::within(box));
    QVERIFY2(fromFile.ok() && fromBytes.ok(), qPrintable(fromFile.error + fromBytes.error));
    QCOMPARE(fromFile.picture.naturalSize(), natural);
    QCOMPARE(fromFile.picture.image().size(), shown);
    QVERIFY(fromFile.picture.isReduced());
    QVERIFY(fromFile.picture.image() == fromBytes.picture.image());

    const QImage expected = full.picture.image().scaled(shown, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    const double mean = meanDifference(fromFile.picture.image(), expected);
    const int most = maxDifference(fromFile.picture.image(), expected);
    QVERIFY2(mean < 1.5 && most < 12, qPrintable(QStringLiteral("mean %1, largest %2").arg(mean).arg(most)));
    // The full picture is still there for a larger view.
    QCOMPARE(fromFile.picture.toImage().size(), natural);
}

void TestPicture::damagedBitmapFailsReducedAsInFull()
{
    const QImage image = grainyGradient(400, 300);
    // 16 greys stored; one pixel in the middle of the picture uses index 200.
    QImage outside(400, 300, QImage::Format_RGB32);
    for (int y = 0; y < outside.height(); ++y)
        for (int x = 0; x < outside.width(); ++x)
            outside.setPixel(x, y, qRgb((x + y) % 16, (x + y) % 16, (x + y) % 16));
    outside.setPixel(150, 150, qRgb(200, 200, 200));
    const QList<std::pair<const char *, QByteArray>> damaged = {
        {"truncated pixels", bitmapOf(image, 24, false).chopped(1000)},
        {"truncated top-down pixels", bitmapOf(image, 32, true).chopped(1)},
        {"colour index outside the table", bitmapOf(outside, 8, false, 16)},
    };
    for (const auto &[name, bytes] : damaged) {
        const QString path = m_dir.filePath(QStringLiteral("damaged-%1.bmp").arg(QString::fromLatin1(name).replace(' ', '-')));
        QVERIFY(testsupport::writeFile(path, bytes));
        const picture::LoadResult full = picture::load(path);
        const picture::LoadResult reduced = picture::load(path, DecodeSize::within(QSize(100, 100)));
        QVERIFY2(!full.ok() && !full.error.isEmpty(), name);
        QCOMPARE(reduced.error, full.error);
        QVERIFY(!reduced.ok());
        QCOMPARE(picture::loadFromData(bytes, DecodeSize::within(QSize(100, 100))).error, picture::loadFromData(bytes).error);
    }
}

void TestPicture::oversizedHeadersGiveErrors_data()
{
    QTest::addColumn<QByteArray>("data");
    QByteArray bmp = samples::writeBmp24(QImage(4, 4, QImage::Format_RGB32));
    bmp.replace(18, 8, le32(100000) + le32(100000));
    QTest::newRow("bmp 100000 x 100000") << bmp;
    QByteArray dib = samples::writeHeaderlessDib(QImage(4, 4, QImage::Format_RGB32));
    dib.replace(4, 8, le32(60000) + le32(60000));
    QTest::newRow("dib 60000 x 60000") << dib;
    QByteArray gif = samples::writeGif(QImage(4, 4, QImage::Format_RGB32));
    gif.replace(6, 4, QByteArray("\xff\xff\xff\xff", 4));
    QTest::newRow("gif screen 65535 x 65535") << gif;
    QByteArray icon = samples::writeIco({QImage(4, 4, QImage::Format_ARGB32)});
    icon.replace(22 + 4, 8, le32(50000) + le32(100000));
    QTest::newRow("icon entry 50000 x 50000") << icon;
}

void TestPicture::oversizedHeadersGiveErrors()
{
    QFETCH(QByteArray, data);
    const picture::LoadResult result = picture::loadFromData(data, DecodeSize::natural(), "big");
    QVERIFY(!result.ok());
    QVERIFY2(result.error.startsWith("big: "), qPrintable(result.error));
}

void TestPicture::hostileFilesStayInBounds_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("lastLine");
    const QByteArray png = pngWithHugeTextChunk();
    QByteArray icon = QByteArray("\0\0\x01\0\x01\0", 6) + QByteArray("\x10\x10\0\0\x01\0\x20\0", 8) + le32(uint32_t(png.size()))
                      + le32(22) + png;
    QTest::newRow("icon-png-chunk-past-its-end") << icon << 1 << "icon image 1 has an unreadable header";
    picture::metafile::writer::EmfWriter emf(QRect(0, 0, 423, 423));
    const QByteArray pngInfo = le32(40) + le32(16) + le32(16) + QByteArray("\x01\0\0\0", 4) + le32(5)
                               + le32(uint32_t(png.size())) + QByteArray(16, '\0');
    emf.stretchDiBits(QRect(0, 0, 16, 16), QSize(16, 16), pngInfo, png);
    QTest::newRow("emf-bitmap-of-such-a-png") << emf.finish() << 0 << "16 X 16";
    // A mirrored bitmap record whose source rectangle is far larger than its
    // 2 x 2 bitmap: copying that rectangle would take a gigabyte.
    picture::metafile::writer::EmfWriter mirrored(QRect(0, 0, 423, 423));
    const QImage tiny(2, 2, QImage::Format_RGB32);
    mirrored.stretchDiBits(QRect(16, 0, -16, 16), QSize(16000, 16000), picture::metafile::writer::dibInfo(tiny, 24),
                           picture::metafile::writer::dibBits(tiny, 24));
    QTest::newRow("emf-mirrored-blit-of-a-huge-source") << mirrored.finish() << 0 << "16 X 16";
    // A placeable metafile of 20000 x 20000 units at 96 per inch.
    picture::metafile::writer::WmfWriter wmf(true, QRect(0, 0, 20000, 20000), 96);
    QTest::newRow("wmf-of-20000-pixels-square") << wmf.finish() << 1 << "20000 X 20000 is too large to draw as one image";
}

void TestPicture::hostileFilesStayInBounds()
{
    QFETCH(QByteArray, file);
    QFETCH(int, exitCode);
    QFETCH(QString, lastLine);
    const QString path = m_dir.filePath(QTest::currentDataTag());
    QVERIFY(testsupport::writeFile(path, file));
    QProcess render;
    render.start(QStringLiteral(LUMADEX_RENDER), {path, path + ".png"});
    QVERIFY(render.waitForFinished(-1));
    QCOMPARE(render.exitStatus(), QProcess::NormalExit);
    // The largest child so far: none of these may take more than 300 MB.
    rusage usage{};
    QCOMPARE(getrusage(RUSAGE_CHILDREN, &usage), 0);
    QVERIFY2(usage.ru_maxrss < 300 * 1024, qPrintable(QString::number(usage.ru_maxrss / 1024) + " MB"));
    const QStringList lines = QString::fromUtf8(render.readAllStandardOutput()).trimmed().split('\n');
    QVERIFY2(lines.last().endsWith(lastLine), qPrintable(lines.join(" / ")));
    QCOMPARE(render.exitCode(), exitCode);
}

void TestPicture::reducedJpegKeepsNaturalSize()
{
    QImage image(1200, 800, QImage::Format_RGB32);
    QPainter(&image).fillRect(image.rect(), QLinearGradient(0, 0, 1200, 0));
    const QString path = m_dir.filePath("reduced.jpg");
    QVERIFY(testsupport::writeFile(path, encode(image, "jpeg")));

    const picture::LoadResult within = picture::load(path, DecodeSize::within(QSize(300, 300)));
    QVERIFY2(within.ok(), qPrintable(within.error));
    QCOMPARE(within.picture.naturalSize(), QSize(1200, 800));
    QCOMPARE(within.picture.image().size(), QSize(300, 200));
    QVERIFY(within.picture.isReduced());
    QCOMPARE(within.picture.toImage().size(), QSize(1200, 800)); // decoded again in full
    const QImage again = within.picture.toImage(QSize(600, 400));
    QCOMPARE(again.size(), QSize(600, 400));
    QVERIFY(meanDifference(again, image.scaled(600, 400, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)) < 3);

    const picture::LoadResult exactly = picture::load(path, DecodeSize::exactly(QSize(100, 2000)));
    QVERIFY2(exactly.ok(), qPrintable(exactly.error));
    QCOMPARE(exactly.picture.naturalSize(), QSize(1200, 800));
    QCOMPARE(exactly.picture.image().size(), QSize(100, 800)); // never more than the file has

    const picture::LoadResult larger = picture::load(path, DecodeSize::within(QSize(5000, 5000)));
    QVERIFY(larger.ok());
    QVERIFY(!larger.picture.isReduced());
}

void TestPicture::orientationIsAppliedOnce_data()
{
    QTest::addColumn<int>("orientation");
    for (int o = 2; o <= 8; ++o)
        QTest::addRow("orientation %d", o) << o;
}

void TestPicture::orientationIsAppliedOnce()
{
    if (m_corpus.isEmpty())
        QSKIP("the picture corpus (../shared/corpus) is not present");
    QFETCH(int, orientation);
    // Pillow's hopper_orientation_N files hold hopper.jpg's pixels stored
    // transformed, with the tag that undoes the transformation.
    const picture::LoadResult upright = picture::load(m_corpus + "/jpeg/pillow-hopper.jpg");
    const QString path = m_corpus + QString("/jpeg/pillow-hopper_orientation_%1.jpg").arg(orientation);
    for (const DecodeSize size : {DecodeSize::natural(), DecodeSize::within(QSize(64, 64))}) {
        const picture::LoadResult result = picture::load(path, size);
        QVERIFY2(result.ok(), qPrintable(result.error));
        const QImage expected = upright.picture.image().scaled(result.picture.image().size(), Qt::IgnoreAspectRatio,
                                                               Qt::SmoothTransformation);
        const double difference = meanDifference(result.picture.image(), expected);
        QVERIFY2(difference < 12, qPrintable(QString::number(difference)));
    }
}

void TestPicture::syntheticOrientationWithReducedDecode()
{
    // Stored 400 x 200 with the left half red; orientation 6 turns it clockwise,
    // so the upright picture is 200 x 400 with the red half on top.
    QImage stored(400, 200, QImage::Format_RGB32);
    stored.fill(Qt::blue);
    QPainter(&stored).fillRect(0, 0, 200, 200, Qt::red);
    const QString path = m_dir.filePath("rotated.jpg");
    QVERIFY(testsupport::writeFile(path, withOrientation(encode(stored, "jpeg"), 6)));
    for (const DecodeSize size : {DecodeSize::natural(), DecodeSize::within(QSize(50, 50))}) {
        const picture::LoadResult result = picture::load(path, size);
        QVERIFY2(result.ok(), qPrintable(result.error));
        QCOMPARE(result.picture.naturalSize(), QSize(200, 400));
        const QImage &image = result.picture.image();
        QCOMPARE(image.width() * 2, image.height());
        QVERIFY(qRed(image.pixel(image.width() / 2, image.height() / 4)) > 200);
        QVERIFY(qBlue(image.pixel(image.width() / 2, image.height() * 3 / 4)) > 200);
    }
}

void TestPicture::hugeJpegShowsReducedButNotInFull()
{
    // 12000 x 12000 is more than a full decode may hold, but shows in a fit view.
    QImage image(12000, 12000, QImage::Format_Grayscale8);
    image.fill(128);
    const QString path = m_dir.filePath("huge.jpg");
    QVERIFY(testsupport::writeFile(path, encode(image, "jpeg", 50)));
    image = QImage();

    const picture::LoadResult within = picture::load(path, DecodeSize::within(QSize(400, 300)));
    QVERIFY2(within.ok(), qPrintable(within.error));
    QCOMPARE(within.picture.naturalSize(), QSize(12000, 12000));
    QCOMPARE(within.picture.image().size(), QSize(300, 300));

    QCOMPARE(within.picture.toImage(QSize(1500, 1000)).size(), QSize(1500, 1000)); // decoded again, reduced
    QVERIFY(within.picture.toImage().isNull()); // never one bitmap beyond the decode limit

    const picture::LoadResult full = picture::load(path);
    QVERIFY(!full.ok());
    QVERIFY2(full.error.contains("too large"), qPrintable(full.error));
}

void TestPicture::imageDrawnForAScaledScreenKeepsItsNaturalSize()
{
    QImage drawn(386, 66, QImage::Format_RGB32);
    drawn.fill(Qt::blue);
    drawn.setDevicePixelRatio(2);
    const picture::Picture held = picture::Picture::fromImage(drawn);
    QCOMPARE(held.naturalSize(), QSize(193, 33));
    QCOMPARE(held.image().size(), QSize(386, 66)); // the screen's pixels are kept
    // As a bitmap (the clipboard, the wallpaper) it has its natural size.
    const QImage bitmap = held.toImage();
    QCOMPARE(bitmap.size(), QSize(193, 33));
    QCOMPARE(bitmap.devicePixelRatio(), 1.0);
    QCOMPARE(bitmap.pixelColor(100, 16), QColor(Qt::blue));
}

void TestPicture::samplesRoundTrip_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QImage>("source");
    QTest::addColumn<bool>("lossless");
    for (const samples::Sample &s : samples::makeSamples())
        QTest::addRow("%s", qPrintable(s.fileName)) << s.fileName << s.data << s.source << s.lossless;
}

void TestPicture::samplesRoundTrip()
{
    QFETCH(QString, fileName);
    QFETCH(QByteArray, data);
    QFETCH(QImage, source);
    QFETCH(bool, lossless);
    const QString path = m_dir.filePath(fileName);
    QVERIFY(testsupport::writeFile(path, data));
    const picture::LoadResult result = picture::load(path);
    QVERIFY2(result.ok(), qPrintable(result.error));
    if (source.isNull()) { // a drawing
        QVERIFY(result.picture.isDrawing());
        QVERIFY(!result.picture.naturalSize().isEmpty());
        return;
    }
    QCOMPARE(result.picture.naturalSize(), source.size());
    if (lossless)
        QVERIFY(samePixels(result.picture.image(), source));
    else
        QVERIFY(meanDifference(result.picture.image(), source) < 3);
}

void TestPicture::writersAgreeWithQtReaders()
{
    // Noise with many colours fills the LZW table several times over, so the
    // GIF writer's clear codes and code widths are exercised; Qt's readers
    // check the files independently of our decoders.
    const QImage image = noise(300, 200, 256);
    const QImage palette = samples::toPaletteImage(image);
    for (const auto &[format, data] : {std::pair<const char *, QByteArray>{"gif", samples::writeGif(image)},
                                       {"bmp", samples::writeBmpRle8(image)}}) {
        QBuffer buffer;
        buffer.setData(data);
        QImageReader reader(&buffer, format);
        QVERIFY2(samePixels(reader.read(), palette), format);
        const picture::LoadResult ours = picture::loadFromData(data);
        QVERIFY2(ours.ok(), qPrintable(ours.error));
        QVERIFY2(samePixels(ours.picture.image(), palette), format);
    }
}

QTEST_MAIN(TestPicture)
#include "tst_picture.moc"
