#include "picture/metafile/Dib.h"
#include "picture/metafile/Metafile.h"
#include "picture/metafile/Player.h"
#include "picture/metafile/writer/MetafileWriter.h"
#include "tests/support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QPainter>
#include <QRegularExpression>
#include <QTest>

#include <functional>

using namespace picture::metafile;
using namespace picture::metafile::writer;

namespace {

// GDI constants beyond those Player.h names.
constexpr int TRANSPARENT = 1, OPAQUE = 2;

const QRgb white = qRgb(255, 255, 255);
const QRgb red = qRgb(255, 0, 0);
const QRgb blue = qRgb(0, 0, 255);

// A 100 x 100 pixel EMF: frame 0..2645 hundredths of a millimetre on a
// 96-dpi reference device, so that device pixels are target pixels.
EmfWriter emf100() { return EmfWriter(QRect(0, 0, 2645, 2645), QSize(960, 960), QSize(254, 254)); }
// A 100 x 100 pixel placeable WMF: 100 units at 96 units per inch.
WmfWriter wmf100() { return WmfWriter(true, QRect(0, 0, 100, 100), 96); }

QImage render(const QByteArray &file, QSize size = QSize(100, 100))
{
    QString error;
    const auto drawing = load(file, &error);
    if (!drawing) {
        qWarning("load failed: %s", qPrintable(error));
        return QImage();
    }
    QImage image(size, QImage::Format_RGB32);
    image.fill(white);
    QPainter painter(&image);
    drawing->play(painter, QRectF(QPointF(0, 0), QSizeF(size)));
    return image;
}

bool near(QRgb a, QRgb b, int tolerance = 40)
{
    return std::abs(qRed(a) - qRed(b)) <= tolerance && std::abs(qGreen(a) - qGreen(b)) <= tolerance
        && std::abs(qBlue(a) - qBlue(b)) <= tolerance;
}

// Bounding box of the pixels that differ from white.
QRect ink(const QImage &image, int tolerance = 60)
{
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (!near(image.pixel(x, y), white, tolerance))
                box = box.united(QRect(x, y, 1, 1));
    return box;
}

QString pixelText(QRgb c) { return QStringLiteral("#%1").arg(c & 0xffffff, 6, 16, QLatin1Char('0')); }

#define CHECK_PIXEL(image, x, y, colour)                                                                               \
    QVERIFY2(near((image).pixel(x, y), colour),                                                                        \
             qPrintable(QStringLiteral("(%1,%2) is %3, expected %4")                                                   \
                            .arg(x).arg(y).arg(pixelText((image).pixel(x, y)), pixelText(colour))))

// Solid red fill, no outline.
void redFill(EmfWriter &w)
{
    w.selectObject(quint32(w.createBrush(BS_SOLID, Qt::red)));
    w.selectObject(quint32(w.createPen(PS_NULL, 0, Qt::black)));
}

void redFill(WmfWriter &w)
{
    w.selectObject(w.createBrush(BS_SOLID, Qt::red));
    w.selectObject(w.createPen(PS_NULL, 0, Qt::black));
}

QImage fourColours(int w = 2, int h = 2)
{
    QImage image(w, h, QImage::Format_ARGB32);
    const QRgb colours[4] = {qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255), qRgb(255, 255, 0)};
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, colours[(y * 2 / h) * 2 + x * 2 / w]);
    return image;
}

} // namespace

class TestMetafile : public QObject {
    Q_OBJECT

private slots:
    void sniffing_data();
    void sniffing();
    void naturalSize_data();
    void naturalSize();
    void mapping_data();
    void mapping();
    void dcStack();
    void clipping_data();
    void clipping();
    void primitives_data();
    void primitives();
    void fillModes();
    void brushesAndRops();
    void textAlignment_data();
    void textAlignment();
    void textAttributes();
    void characterSets();
    void bitmapDepths_data();
    void bitmapDepths();
    void bitmapRecords();
    void dibEncodings();
    void pathFiguresStayApart();
    void monochromeBrushTakesDcColours();
    void wmfSizeWithStrayHighWord();
    void sharpWhenEnlarged();
    void samples();
    void damagedRecordsFailAtLoad_data();
    void damagedRecordsFailAtLoad();
    void truncationNeverCrashes();
    void hostileCountsAreBounded();
    void corpusValidFilesLoad();
    void corpusBadFilesFailCleanly();
};

void TestMetafile::sniffing_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<bool>("metafile");
    QTest::newRow("placeable wmf") << wmf100().finish() << true;
    QTest::newRow("plain wmf 0x0300") << WmfWriter(false).finish() << true;
    QTest::newRow("plain wmf 0x0100") << WmfWriter(false, QRect(), 0, 0x0100).finish() << true;
    QTest::newRow("emf") << emf100().finish() << true;
    QTest::newRow("bmp") << QByteArray("BM\x36\0\0\0\0\0\0\0\x36\0\0\0", 14) + QByteArray(40, '\0') << false;
    QTest::newRow("empty") << QByteArray() << false;
    QTest::newRow("wmf version 0x0200") << WmfWriter(false, QRect(), 0, 0x0200).finish() << false;
    QTest::newRow("emf header cut short") << emf100().finish().left(60) << false;
}

void TestMetafile::sniffing()
{
    QFETCH(QByteArray, data);
    QFETCH(bool, metafile);
    QCOMPARE(looksLikeMetafile(data), metafile);
    QString error;
    const auto drawing = load(data, &error);
    QCOMPARE(drawing != nullptr, metafile);
    QCOMPARE(error.isEmpty(), metafile);
}

void TestMetafile::naturalSize_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QSize>("size");
    QTest::newRow("placeable, 1000 units per inch") << WmfWriter(true, QRect(0, 0, 2000, 1000), 1000).finish()
                                                    << QSize(192, 96);
    QTest::newRow("placeable, negative origin") << WmfWriter(true, QRect(-1440, -720, 1440, 2880), 1440).finish()
                                                << QSize(96, 192);
    {
        WmfWriter w(false);
        w.setWindowOrg(50, 50);
        w.setWindowExt(300, -200);
        QTest::newRow("plain, window extent in pixels") << w.finish() << QSize(300, 200);
    }
    {
        WmfWriter w(false);
        w.setWindowExt(2880, 1440);
        QTest::newRow("plain, large extent read as twips") << w.finish() << QSize(192, 96);
    }
    {
        WmfWriter w(false);
        w.rectangle(QRect(10, 20, 100, 50));
        QTest::newRow("plain, no window: what it draws") << w.finish() << QSize(100, 50);
    }
    QTest::newRow("emf frame") << EmfWriter(QRect(0, 0, 5079, 2539)).finish() << QSize(192, 96);
    QTest::newRow("emf frame off the origin") << EmfWriter(QRect(QPoint(1000, -500), QPoint(3540, 2040))).finish()
                                              << QSize(96, 96);
}

void TestMetafile::naturalSize()
{
    QFETCH(QByteArray, data);
    QFETCH(QSize, size);
    QString error;
    const auto drawing = load(data, &error);
    QVERIFY2(drawing, qPrintable(error));
    QCOMPARE(drawing->naturalSize(), size);
}

// Each row draws a red rectangle through some mapping and names one pixel
// that must be red and one that must stay white.
void TestMetafile::mapping_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QPoint>("inside");
    QTest::addColumn<QPoint>("outside");
    {
        WmfWriter w = wmf100();
        w.setMapMode(MM_ANISOTROPIC);
        w.setWindowOrg(0, 0);
        w.setWindowExt(10, 10); // ten times larger than the frame's units
        redFill(w);
        w.rectangle(QRect(0, 0, 5, 5));
        QTest::newRow("wmf window extent scales") << w.finish() << QPoint(45, 45) << QPoint(55, 55);
    }
    {
        WmfWriter w = wmf100();
        w.setMapMode(MM_ANISOTROPIC);
        w.setWindowOrg(0, 100);
        w.setWindowExt(100, -100); // y up
        redFill(w);
        w.rectangle(QRect(0, 0, 20, 20));
        QTest::newRow("wmf negative extent flips") << w.finish() << QPoint(10, 90) << QPoint(10, 10);
    }
    {
        WmfWriter w = wmf100();
        w.setWindowOrg(-50, -50);
        redFill(w);
        w.rectangle(QRect(-50, -50, 10, 10));
        QTest::newRow("wmf window origin moves") << w.finish() << QPoint(5, 5) << QPoint(60, 60);
    }
    {
        EmfWriter w = emf100();
        w.setMapMode(MM_ANISOTROPIC);
        w.setWindowExt(10, 10);
        w.setViewportOrg(50, 0);
        w.setViewportExt(50, 100);
        redFill(w);
        w.rectangle(QRect(0, 0, 2, 2));
        QTest::newRow("emf anisotropic") << w.finish() << QPoint(55, 15) << QPoint(45, 15);
    }
    {
        EmfWriter w = emf100();
        w.setMapMode(MM_ISOTROPIC);
        w.setWindowExt(10, 10);
        w.setViewportExt(100, 20); // the smaller scale wins: 2 pixels a unit
        redFill(w);
        w.rectangle(QRect(0, 0, 10, 10));
        QTest::newRow("emf isotropic keeps aspect") << w.finish() << QPoint(15, 15) << QPoint(30, 5);
    }
    {
        EmfWriter w = emf100();
        w.setMapMode(MM_LOMETRIC); // tenths of a millimetre, y up
        w.setViewportOrg(0, 100);
        redFill(w);
        w.rectangle(QRect(0, 0, 100, 100)); // 10 mm = 38 pixels up from the bottom
        QTest::newRow("emf lometric") << w.finish() << QPoint(20, 80) << QPoint(20, 50);
    }
    {
        EmfWriter w = emf100();
        w.setMapMode(MM_TEXT);
        w.setWorldTransform(2, 0, 0, 2, 60, 10);
        redFill(w);
        w.rectangle(QRect(0, 0, 10, 10));
        QTest::newRow("emf world transform") << w.finish() << QPoint(75, 25) << QPoint(10, 10);
    }
}

void TestMetafile::mapping()
{
    QFETCH(QByteArray, data);
    QFETCH(QPoint, inside);
    QFETCH(QPoint, outside);
    const QImage image = render(data);
    QVERIFY(!image.isNull());
    CHECK_PIXEL(image, inside.x(), inside.y(), red);
    CHECK_PIXEL(image, outside.x(), outside.y(), white);
}

void TestMetafile::dcStack()
{
    EmfWriter w = emf100();
    const int redBrush = w.createBrush(BS_SOLID, Qt::red);
    const int blueBrush = w.createBrush(BS_SOLID, Qt::blue);
    w.selectObject(quint32(w.createPen(PS_NULL, 0, Qt::black)));
    w.selectObject(quint32(redBrush));
    w.saveDc();
    w.selectObject(quint32(blueBrush));
    w.setViewportOrg(50, 0);
    w.saveDc();
    w.setViewportOrg(0, 50);
    w.restoreDc(-2); // back to red at the origin
    w.rectangle(QRect(0, 0, 20, 20));
    w.restoreDc(-5); // below the stack: refused, nothing changes
    w.rectangle(QRect(0, 30, 20, 50));
    const QImage image = render(w.finish());
    CHECK_PIXEL(image, 10, 10, red);
    CHECK_PIXEL(image, 10, 40, red);
    CHECK_PIXEL(image, 60, 10, white);
}

void TestMetafile::clipping_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QPoint>("inside");
    QTest::addColumn<QPoint>("outside");
    {
        WmfWriter w = wmf100();
        redFill(w);
        w.intersectClipRect(QRect(10, 10, 30, 30));
        w.rectangle(QRect(0, 0, 100, 100));
        QTest::newRow("wmf intersect") << w.finish() << QPoint(20, 20) << QPoint(60, 60);
    }
    {
        WmfWriter w = wmf100();
        redFill(w);
        w.excludeClipRect(QRect(0, 0, 50, 100));
        w.rectangle(QRect(0, 0, 100, 100));
        QTest::newRow("wmf exclude") << w.finish() << QPoint(70, 50) << QPoint(20, 50);
    }
    {
        WmfWriter w = wmf100();
        redFill(w);
        w.selectClipRegion(w.createRegion(QRect(60, 0, 40, 40)));
        w.rectangle(QRect(0, 0, 100, 100));
        QTest::newRow("wmf region") << w.finish() << QPoint(80, 20) << QPoint(20, 80);
    }
    {
        WmfWriter w = wmf100();
        redFill(w);
        w.saveDc();
        w.intersectClipRect(QRect(0, 0, 10, 10));
        w.restoreDc();
        w.rectangle(QRect(0, 0, 100, 100));
        QTest::newRow("wmf restore lifts the clip") << w.finish() << QPoint(50, 50) << QPoint(-1, -1);
    }
    {
        EmfWriter w = emf100();
        redFill(w);
        w.selectClipRects({QRect(0, 0, 30, 30), QRect(70, 70, 30, 30)}, 5);
        w.selectClipRects({QRect(0, 0, 10, 10)}, RGN_DIFF);
        w.rectangle(QRect(0, 0, 100, 100));
        QTest::newRow("emf region, then difference") << w.finish() << QPoint(80, 80) << QPoint(5, 5);
    }
    {
        EmfWriter w = emf100();
        redFill(w);
        w.beginPath();
        w.ellipse(QRect(0, 0, 100, 100));
        w.endPath();
        w.selectClipPath(RGN_AND);
        w.rectangle(QRect(0, 0, 100, 100));
        QTest::newRow("emf clip path") << w.finish() << QPoint(50, 50) << QPoint(3, 3);
    }
}

void TestMetafile::clipping()
{
    QFETCH(QByteArray, data);
    QFETCH(QPoint, inside);
    QFETCH(QPoint, outside);
    const QImage image = render(data);
    CHECK_PIXEL(image, inside.x(), inside.y(), red);
    if (outside.x() >= 0)
        CHECK_PIXEL(image, outside.x(), outside.y(), white);
}

// One primitive per row, in both formats where both have it: a red point
// inside, a white one outside.
void TestMetafile::primitives_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QPoint>("inside");
    QTest::addColumn<QPoint>("outside");
    using W = std::function<void(WmfWriter &)>;
    using E = std::function<void(EmfWriter &)>;
    auto wmf = [](const char *name, W draw, QPoint in, QPoint out) {
        WmfWriter w = wmf100();
        redFill(w);
        w.selectObject(w.createPen(0, 6, Qt::red));
        draw(w);
        QTest::newRow(name) << w.finish() << in << out;
    };
    auto emf = [](const char *name, E draw, QPoint in, QPoint out) {
        EmfWriter w = emf100();
        redFill(w);
        w.selectObject(quint32(w.createPen(0, 6, Qt::red)));
        draw(w);
        QTest::newRow(name) << w.finish() << in << out;
    };
    const QPolygon triangle({QPoint(10, 90), QPoint(50, 10), QPoint(90, 90)});
    wmf("wmf rectangle", [](WmfWriter &w) { w.rectangle(QRect(20, 20, 60, 60)); }, QPoint(50, 50), QPoint(10, 10));
    wmf("wmf round rect", [](WmfWriter &w) { w.roundRect(QRect(10, 10, 80, 80), 60, 60); }, QPoint(50, 50), QPoint(13, 13));
    wmf("wmf ellipse", [](WmfWriter &w) { w.ellipse(QRect(10, 10, 80, 80)); }, QPoint(50, 50), QPoint(14, 14));
    wmf("wmf polygon", [&](WmfWriter &w) { w.polygon(triangle); }, QPoint(50, 70), QPoint(15, 20));
    wmf("wmf polyline", [&](WmfWriter &w) { w.polyline(triangle); }, QPoint(30, 50), QPoint(50, 70));
    wmf("wmf line", [](WmfWriter &w) { w.moveTo(0, 50); w.lineTo(100, 50); }, QPoint(70, 50), QPoint(70, 60));
    // Chord and pie over the upper half: from the right end to the left end, counterclockwise.
    wmf("wmf pie", [](WmfWriter &w) { w.arc(0x081A, QRect(10, 10, 80, 80), QPoint(90, 50), QPoint(10, 50)); },
        QPoint(50, 30), QPoint(50, 70));
    wmf("wmf chord", [](WmfWriter &w) { w.arc(0x0830, QRect(10, 10, 80, 80), QPoint(90, 40), QPoint(10, 40)); },
        QPoint(50, 25), QPoint(50, 60));
    wmf("wmf arc", [](WmfWriter &w) { w.arc(0x0817, QRect(10, 10, 80, 80), QPoint(90, 50), QPoint(10, 50)); },
        QPoint(50, 11), QPoint(50, 89));
    wmf("wmf poly-polygon", [](WmfWriter &w) {
        w.polyPolygon({QPolygon(QRect(5, 5, 30, 30)), QPolygon(QRect(60, 60, 30, 30))});
    }, QPoint(75, 75), QPoint(50, 50));
    emf("emf rectangle", [](EmfWriter &w) { w.rectangle(QRect(20, 20, 60, 60)); }, QPoint(50, 50), QPoint(10, 10));
    emf("emf ellipse", [](EmfWriter &w) { w.ellipse(QRect(10, 10, 80, 80)); }, QPoint(50, 50), QPoint(14, 14));
    emf("emf polygon16", [&](EmfWriter &w) { w.poly(86, triangle); }, QPoint(50, 70), QPoint(15, 20));
    emf("emf polyline", [&](EmfWriter &w) { w.poly(4, triangle); }, QPoint(30, 50), QPoint(50, 70));
    emf("emf bezier", [](EmfWriter &w) {
        w.poly(2, QPolygon({QPoint(0, 50), QPoint(30, 50), QPoint(70, 50), QPoint(100, 50)}));
    }, QPoint(50, 50), QPoint(50, 60));
    emf("emf pie", [](EmfWriter &w) { w.arc(47, QRect(10, 10, 80, 80), QPoint(90, 50), QPoint(10, 50)); },
        QPoint(50, 30), QPoint(50, 70));
    emf("emf path fill", [](EmfWriter &w) {
        w.beginPath();
        w.moveTo(10, 10);
        w.lineTo(90, 10);
        w.lineTo(90, 90);
        w.closeFigure();
        w.endPath();
        w.fillPath();
    }, QPoint(80, 30), QPoint(20, 70));
    emf("emf path stroke", [](EmfWriter &w) {
        w.beginPath();
        w.moveTo(10, 50);
        w.lineTo(90, 50);
        w.endPath();
        w.strokePath();
    }, QPoint(50, 50), QPoint(50, 30));
    emf("emf nothing drawn while a path is open", [](EmfWriter &w) {
        w.beginPath();
        w.rectangle(QRect(0, 0, 100, 50));
        w.endPath();
        w.rectangle(QRect(0, 60, 100, 40));
    }, QPoint(50, 80), QPoint(50, 20));
}

void TestMetafile::primitives()
{
    QFETCH(QByteArray, data);
    QFETCH(QPoint, inside);
    QFETCH(QPoint, outside);
    const QImage image = render(data);
    CHECK_PIXEL(image, inside.x(), inside.y(), red);
    CHECK_PIXEL(image, outside.x(), outside.y(), white);
}

void TestMetafile::fillModes()
{
    // A five-pointed star: its centre is outside with the alternate rule
    // and inside with the winding rule.
    const QPolygon star({QPoint(50, 5), QPoint(76, 90), QPoint(8, 36), QPoint(92, 36), QPoint(24, 90)});
    for (int mode : {1, 2}) {
        WmfWriter w = wmf100();
        redFill(w);
        w.setPolyFillMode(mode);
        w.polygon(star);
        const QImage image = render(w.finish());
        CHECK_PIXEL(image, 50, 30, red);
        CHECK_PIXEL(image, 50, 50, mode == 2 ? red : white);
    }
}

void TestMetafile::brushesAndRops()
{
    {
        // Hatched brush on an opaque background: both colours show; on a
        // transparent one the background stays white.
        for (int bk : {OPAQUE, TRANSPARENT}) {
            WmfWriter w = wmf100();
            w.selectObject(w.createPen(PS_NULL, 0, Qt::black));
            w.selectObject(w.createBrush(BS_HATCHED, Qt::blue, 4));
            w.setBkMode(bk);
            w.setBkColor(Qt::red);
            w.rectangle(QRect(0, 0, 100, 100));
            const QImage image = render(w.finish());
            int blues = 0, reds = 0, whites = 0;
            for (int y = 20; y < 80; ++y)
                for (int x = 20; x < 80; ++x) {
                    const QRgb c = image.pixel(x, y);
                    blues += near(c, blue), reds += near(c, red), whites += near(c, white);
                }
            QVERIFY2(blues > 100, qPrintable(QString::number(blues)));
            QCOMPARE(reds > 1000, bk == OPAQUE);
            QCOMPARE(whites > 1000, bk == TRANSPARENT);
        }
    }
    {
        QImage pattern(2, 2, QImage::Format_RGB32);
        pattern.fill(Qt::blue);
        pattern.setPixel(0, 0, red);
        WmfWriter w = wmf100();
        w.selectObject(w.createPen(PS_NULL, 0, Qt::black));
        w.selectObject(w.createPatternBrush(pattern));
        w.rectangle(QRect(0, 0, 100, 100));
        const QImage image = render(w.finish());
        QVERIFY(!near(image.pixel(50, 50), white));
    }
    {
        // R2_NOP draws nothing; XOR twice restores the background.
        WmfWriter w = wmf100();
        redFill(w);
        w.setRop2(11);
        w.rectangle(QRect(0, 0, 50, 100));
        w.setRop2(7);
        w.rectangle(QRect(50, 0, 50, 100));
        w.rectangle(QRect(50, 0, 50, 100));
        w.setRop2(13);
        w.selectObject(w.createBrush(BS_NULL, Qt::black));
        w.rectangle(QRect(0, 0, 10, 10));
        const QImage image = render(w.finish());
        CHECK_PIXEL(image, 25, 50, white);
        CHECK_PIXEL(image, 75, 50, white);
    }
    {
        WmfWriter w = wmf100();
        w.selectObject(w.createBrush(BS_SOLID, Qt::red));
        w.patBlt(QRect(0, 0, 50, 50), 0x00F00021);   // PATCOPY
        w.patBlt(QRect(50, 50, 50, 50), 0x00000042); // BLACKNESS
        const QImage image = render(w.finish());
        CHECK_PIXEL(image, 25, 25, red);
        CHECK_PIXEL(image, 75, 75, qRgb(0, 0, 0));
        CHECK_PIXEL(image, 75, 25, white);
    }
}

void TestMetafile::textAlignment_data()
{
    QTest::addColumn<int>("align");
    QTest::addColumn<bool>("wmf");
    for (bool wmf : {false, true}) {
        const char *f = wmf ? "wmf " : "emf ";
        QTest::newRow(qPrintable(QString(f) + "left top")) << 0 << wmf;
        QTest::newRow(qPrintable(QString(f) + "right top")) << int(TA_RIGHT) << wmf;
        QTest::newRow(qPrintable(QString(f) + "centre bottom")) << int(TA_CENTER | TA_BOTTOM) << wmf;
        QTest::newRow(qPrintable(QString(f) + "left baseline")) << int(TA_BASELINE) << wmf;
    }
}

void TestMetafile::textAlignment()
{
    QFETCH(int, align);
    QFETCH(bool, wmf);
    QByteArray data;
    if (wmf) {
        WmfWriter w = wmf100();
        w.selectObject(w.createFont(-20, "DejaVu Sans"));
        w.setTextAlign(align);
        w.setBkMode(TRANSPARENT);
        w.textOut(50, 50, "HHH");
        data = w.finish();
    } else {
        EmfWriter w = emf100();
        w.selectObject(quint32(w.createFont(-20, QStringLiteral("DejaVu Sans"))));
        w.setTextAlign(align);
        w.setBkMode(TRANSPARENT);
        w.extTextOut(50, 50, QStringLiteral("HHH"));
        data = w.finish();
    }
    const QRect box = ink(render(data));
    QVERIFY(!box.isEmpty());
    QVERIFY2(box.height() >= 10 && box.height() <= 20, qPrintable(QString::number(box.height())));
    const int h = align & TA_CENTER;
    if (h == TA_CENTER)
        QVERIFY(std::abs(box.center().x() - 50) <= 3);
    else if (h == TA_RIGHT)
        QVERIFY(box.right() <= 51 && box.right() >= 45);
    else
        QVERIFY(box.left() >= 49 && box.left() <= 54);
    const int v = align & TA_BASELINE;
    if (v == TA_BASELINE || v == TA_BOTTOM)
        QVERIFY2(box.bottom() <= 51 && box.bottom() >= 40, qPrintable(QString::number(box.bottom())));
    else
        QVERIFY2(box.top() >= 50 && box.top() <= 56, qPrintable(QString::number(box.top())));
}

void TestMetafile::textAttributes()
{
    // Opaque background behind the text, in the background colour; the
    // text in the text colour; escapement 90 degrees runs upwards.
    EmfWriter w = emf100();
    w.selectObject(quint32(w.createFont(-16, QStringLiteral("DejaVu Sans"), 700)));
    w.setBkMode(OPAQUE);
    w.setBkColor(Qt::blue);
    w.setTextColor(Qt::red);
    w.extTextOut(5, 5, QStringLiteral("WWWW"));
    w.setBkMode(TRANSPARENT);
    w.selectObject(quint32(w.createFont(-16, QStringLiteral("DejaVu Sans"), 400, false, false, 900)));
    w.extTextOut(50, 95, QStringLiteral("WWWWWW"));
    const QImage image = render(w.finish());
    int reds = 0, blues = 0;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 50; ++x)
            reds += near(image.pixel(x, y), red), blues += near(image.pixel(x, y), blue);
    QVERIFY(reds > 20);
    QVERIFY(blues > 50);
    const QRect rotated = ink(image.copy(40, 30, 60, 70));
    QVERIFY2(rotated.height() > rotated.width() * 2, qPrintable(QStringLiteral("%1x%2").arg(rotated.width()).arg(rotated.height())));
}

void TestMetafile::characterSets()
{
    const auto bytes = [](const char *s) { return reinterpret_cast<const uchar *>(s); };
    QCOMPARE(decodeAnsi(bytes("\x80 caf\xe9"), 6, 0), QStringLiteral("\u20ac caf\u00e9"));
    QCOMPARE(decodeAnsi(bytes("abp"), 3, 2), QStringLiteral("\u03b1\u03b2\u03c0")); // Symbol font letters
    QCOMPARE(decodeAnsi(bytes("\xcf\xf0\xe8"), 3, 204), QStringLiteral("\u041f\u0440\u0438"));
    // Shift_JIS: two bytes, one character; the per-byte advances add up.
    const QVector<double> byteDx = {5, 6, 7};
    QVector<double> charDx;
    QCOMPARE(decodeAnsi(bytes("\x82\xa0" "A"), 3, 128, &byteDx, &charDx), QStringLiteral("\u3042A"));
    QCOMPARE(charDx, QVector<double>({11, 7}));

    // Symbol-font text shows (the installed symbol fonts would draw the
    // mapped letters blank).
    WmfWriter w = wmf100();
    w.selectObject(w.createFont(-40, "Symbol", 400, false, false, 0, 2));
    w.setBkMode(TRANSPARENT);
    w.textOut(10, 10, "DpS");
    QVERIFY(ink(render(w.finish())).width() > 30);
}

void TestMetafile::bitmapDepths_data()
{
    QTest::addColumn<int>("bpp");
    QTest::addColumn<bool>("wmf");
    for (int bpp : {1, 4, 8, 16, 24, 32}) {
        QTest::newRow(qPrintable(QStringLiteral("emf %1 bpp").arg(bpp))) << bpp << false;
        QTest::newRow(qPrintable(QStringLiteral("wmf %1 bpp").arg(bpp))) << bpp << true;
    }
}

void TestMetafile::bitmapDepths()
{
    QFETCH(int, bpp);
    QFETCH(bool, wmf);
    // Four quadrants in four colours; a 1-bit bitmap has black and white.
    QImage image = fourColours(4, 4);
    if (bpp == 1) {
        image = QImage(4, 4, QImage::Format_Indexed8);
        image.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 4; ++x)
                image.setPixel(x, y, x < 2 ? 0 : 1);
    } else if (bpp <= 8) {
        image = image.convertToFormat(QImage::Format_Indexed8,
                                      {qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255), qRgb(255, 255, 0)});
    }
    QByteArray data;
    if (wmf) {
        WmfWriter w = wmf100();
        w.stretchDib(QRect(0, 0, 100, 100), image, bpp);
        data = w.finish();
    } else {
        EmfWriter w = emf100();
        w.stretchDiBits(QRect(0, 0, 100, 100), image, bpp);
        data = w.finish();
    }
    const QImage out = render(data);
    if (bpp == 1) {
        CHECK_PIXEL(out, 25, 50, qRgb(0, 0, 0));
        CHECK_PIXEL(out, 75, 50, white);
        return;
    }
    CHECK_PIXEL(out, 25, 25, qRgb(255, 0, 0));
    CHECK_PIXEL(out, 75, 25, qRgb(0, 255, 0));
    CHECK_PIXEL(out, 25, 75, qRgb(0, 0, 255));
    CHECK_PIXEL(out, 75, 75, qRgb(255, 255, 0));
}

void TestMetafile::bitmapRecords()
{
    const QImage image = fourColours(2, 2);
    {
        EmfWriter w = emf100();
        w.bitBlt(QRect(0, 0, 2, 2), image, 24);
        w.setDiBitsToDevice(QPoint(10, 10), image, 32);
        const QImage out = render(w.finish());
        CHECK_PIXEL(out, 0, 0, qRgb(255, 0, 0));
        CHECK_PIXEL(out, 1, 1, qRgb(255, 255, 0));
        CHECK_PIXEL(out, 11, 10, qRgb(0, 255, 0));
        CHECK_PIXEL(out, 10, 11, qRgb(0, 0, 255));
    }
    {
        // Half constant alpha over white; per-pixel alpha leaves a
        // transparent pixel's background alone.
        QImage half(2, 2, QImage::Format_ARGB32);
        half.fill(qRgba(255, 0, 0, 255));
        half.setPixel(1, 1, qRgba(0, 0, 0, 0));
        EmfWriter w = emf100();
        w.alphaBlend(QRect(0, 0, 50, 50), half, 128, false);
        w.alphaBlend(QRect(50, 50, 50, 50), half, 255, true);
        const QImage out = render(w.finish());
        CHECK_PIXEL(out, 10, 10, qRgb(255, 127, 127));
        CHECK_PIXEL(out, 60, 60, qRgb(255, 0, 0));
        CHECK_PIXEL(out, 90, 90, white);
    }
    {
        // A negative width mirrors the source rectangle: the left half of
        // the bitmap (red over blue), drawn back to front.
        const QImage quarters = fourColours(4, 4);
        EmfWriter w = emf100();
        w.stretchDiBits(QRect(100, 0, -100, 100), QSize(2, 4), dibInfo(quarters, 24), dibBits(quarters, 24));
        const QImage out = render(w.finish());
        CHECK_PIXEL(out, 50, 25, qRgb(255, 0, 0));
        CHECK_PIXEL(out, 50, 75, qRgb(0, 0, 255));
    }
}

namespace {

void put16(QByteArray &b, int v) { b.append(char(v & 0xff)).append(char((v >> 8) & 0xff)); }
void put32(QByteArray &b, qint64 v) { for (int i = 0; i < 4; ++i) b.append(char((v >> (8 * i)) & 0xff)); }

// BITMAPINFOHEADER for a `w` x `h` bitmap, then `colours` table entries.
QByteArray infoHeader(int w, int h, int bpp, int compression, const QVector<QRgb> &colours)
{
    QByteArray b;
    put32(b, 40), put32(b, w), put32(b, h), put16(b, 1), put16(b, bpp), put32(b, compression);
    put32(b, 0), put32(b, 0), put32(b, 0), put32(b, colours.size()), put32(b, 0);
    for (QRgb c : colours)
        b.append(char(qBlue(c))).append(char(qGreen(c))).append(char(qRed(c))).append('\0');
    return b;
}

DibResult decode(const QByteArray &info, const QByteArray &bits)
{
    return decodeDib(Reader(reinterpret_cast<const uchar *>(info.constData()), info.size()),
                     Reader(reinterpret_cast<const uchar *>(bits.constData()), bits.size()), 0, {});
}

} // namespace

void TestMetafile::dibEncodings()
{
    const QVector<QRgb> table = {qRgb(0, 0, 0), qRgb(255, 0, 0), qRgb(0, 0, 255)};
    {
        // RLE8, bottom-up: row 0 (the bottom) four reds, row 1 two blues
        // after a two-pixel delta... written as an absolute run.
        const QByteArray bits("\x04\x01\x00\x00\x00\x03\x02\x02\x02\x00\x00\x01", 12);
        const DibResult r = decode(infoHeader(4, 2, 8, 1, table), bits);
        QVERIFY(!r.damaged);
        QCOMPARE(r.image.pixel(0, 1), red);
        QCOMPARE(r.image.pixel(3, 1), red);
        QCOMPARE(r.image.pixel(2, 0), blue);
    }
    {
        // RLE4: a run alternating red and blue nibbles.
        const QByteArray bits("\x04\x12\x00\x01", 4);
        const DibResult r = decode(infoHeader(4, 1, 4, 2, table), bits);
        QCOMPARE(r.image.pixel(0, 0), red);
        QCOMPARE(r.image.pixel(1, 0), blue);
    }
    {
        // 16-bit bit fields, 5-6-5, top-down.
        QByteArray info = infoHeader(2, -1, 16, 3, {});
        put32(info, 0xf800), put32(info, 0x07e0), put32(info, 0x001f);
        QByteArray bits;
        put16(bits, 0xf800), put16(bits, 0x07e0);
        const DibResult r = decode(info, bits);
        QCOMPARE(r.image.pixel(0, 0), red);
        QCOMPARE(r.image.pixel(1, 0), qRgb(0, 255, 0));
    }
    // Missing pixel rows, an impossible depth and a zero width are damage.
    QVERIFY(decode(infoHeader(4, 4, 24, 0, {}), QByteArray(20, '\0')).damaged);
    QVERIFY(decode(infoHeader(4, 4, 7, 0, {}), QByteArray(64, '\0')).damaged);
    QVERIFY(decode(infoHeader(0, 4, 24, 0, {}), QByteArray(64, '\0')).damaged);
    QVERIFY(decode(infoHeader(40000, 40000, 24, 0, {}), QByteArray(64, '\0')).damaged);
}

void TestMetafile::pathFiguresStayApart()
{
    // Two closed figures built by records that continue the current one;
    // the second must close onto its own start, not the first figure's.
    EmfWriter w = emf100();
    redFill(w);
    w.setPolyFillMode(2);
    w.beginPath();
    w.moveTo(10, 10);
    w.poly(89, QPolygon({QPoint(40, 10), QPoint(40, 40), QPoint(10, 40)})); // poly-line-to, 16-bit
    w.closeFigure();
    w.moveTo(60, 60);
    w.poly(89, QPolygon({QPoint(90, 60), QPoint(90, 90), QPoint(60, 90)}));
    w.closeFigure();
    w.endPath();
    w.fillPath();
    const QImage image = render(w.finish());
    CHECK_PIXEL(image, 25, 25, red);
    CHECK_PIXEL(image, 75, 75, red);
    CHECK_PIXEL(image, 50, 50, white);
    CHECK_PIXEL(image, 30, 70, white);
    CHECK_PIXEL(image, 70, 30, white);
}

void TestMetafile::monochromeBrushTakesDcColours()
{
    // An 8 x 8 monochrome brush whose left half is 0 bits: text colour
    // there, background colour in the right half.
    QByteArray info = infoHeader(8, 8, 1, 0, {qRgb(0, 0, 0), qRgb(255, 255, 255)});
    QByteArray bits;
    for (int i = 0; i < 8; ++i)
        put32(bits, 0x0f);
    QByteArray p;
    put32(p, 5), put32(p, 0), put32(p, 32), put32(p, info.size()), put32(p, 32 + info.size()), put32(p, bits.size());
    p.append(info).append(bits);
    EmfWriter w = emf100();
    w.record(93, p);
    w.selectObject(5);
    w.selectObject(quint32(w.createPen(PS_NULL, 0, Qt::black)));
    w.setTextColor(Qt::red);
    w.setBkColor(Qt::blue);
    w.rectangle(QRect(0, 0, 100, 100));
    const QImage image = render(w.finish());
    int reds = 0, blues = 0;
    for (int x = 20; x < 36; ++x)
        reds += near(image.pixel(x, 50), red), blues += near(image.pixel(x, 50), blue);
    QVERIFY2(reds >= 4 && blues >= 4, qPrintable(QStringLiteral("%1 red, %2 blue").arg(reds).arg(blues)));
}

void TestMetafile::wmfSizeWithStrayHighWord()
{
    // Some writers leave garbage in the high word of a record size; the low
    // word is the size when only it fits the file.
    WmfWriter w = wmf100();
    redFill(w);
    w.rectangle(QRect(0, 0, 100, 100));
    QByteArray file = w.finish();
    const int rectangleAt = file.size() - 6 - 14; // the rectangle, then the end record
    QCOMPARE(quint8(file[rectangleAt + 4]), quint8(0x1b));
    file[rectangleAt + 2] = char(0x4a);
    const QImage image = render(file);
    QVERIFY(!image.isNull());
    CHECK_PIXEL(image, 50, 50, red);
}

void TestMetafile::sharpWhenEnlarged()
{
    // Played at eight times its size, an edge stays one pixel wide: the
    // drawing is replayed, not a small bitmap scaled up.
    WmfWriter w = wmf100();
    redFill(w);
    w.rectangle(QRect(0, 0, 50, 100));
    const QImage big = render(w.finish(), QSize(800, 800));
    CHECK_PIXEL(big, 398, 400, red);
    CHECK_PIXEL(big, 402, 400, white);
}

void TestMetafile::samples()
{
    for (const QByteArray &data : {sampleWmf(), sampleEmf()}) {
        QString error;
        const auto drawing = load(data, &error);
        QVERIFY2(drawing, qPrintable(error));
        QVERIFY(drawing->naturalSize().width() >= 300);
        const QImage image = render(data, drawing->naturalSize());
        QSet<QRgb> colours;
        for (int y = 0; y < image.height(); y += 7)
            for (int x = 0; x < image.width(); x += 7)
                colours.insert(image.pixel(x, y));
        QVERIFY2(colours.size() >= 6, "the sample is colourful");
    }
}

void TestMetafile::damagedRecordsFailAtLoad_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QString>("message");
    {
        WmfWriter w = wmf100();
        w.record(0x0324, {500, 1, 2}); // polygon claiming 500 points, holding one
        QTest::newRow("wmf count beyond the record") << w.finish() << "damaged";
    }
    {
        QByteArray file = wmf100().finish();
        file.chop(2); // the end record now runs past the file
        QTest::newRow("wmf truncated") << file << "truncated";
    }
    {
        EmfWriter w = emf100();
        w.record(81, {0, 0, 0, 0, 0, 0, 0, 0, 4, 4, 5000, 40, 5040, 64, 0, 0x00CC0020, 4, 4});
        QTest::newRow("emf bitmap offset outside the record") << w.finish() << "damaged";
    }
    {
        EmfWriter w = emf100();
        w.record(8, {0, 0, 0, 0, 2, 3, 2, 5, 0, 0, 1, 1, 2, 2}); // poly-polygon counts beyond the total
        QTest::newRow("emf poly-polygon counts") << w.finish() << "damaged";
    }
    {
        QByteArray file = emf100().finish();
        file[108] = char(250); // the end record after the 108-byte header becomes type 250
        QTest::newRow("emf undefined record type") << file << "type";
    }
    {
        QByteArray file = emf100().finish();
        file.chop(4);
        QTest::newRow("emf truncated") << file << "truncated";
    }
}

void TestMetafile::damagedRecordsFailAtLoad()
{
    QFETCH(QByteArray, data);
    QFETCH(QString, message);
    QString error;
    QVERIFY(!load(data, &error));
    QVERIFY2(error.contains(message), qPrintable(error));
}

void TestMetafile::truncationNeverCrashes()
{
    // Every prefix of both samples either loads and plays or fails with an
    // error; none crashes.
    for (const QByteArray &data : {sampleWmf(), sampleEmf()}) {
        for (qsizetype n = 0; n < data.size(); n += 3) {
            QString error;
            const auto drawing = load(data.left(n), &error);
            if (drawing) {
                QImage image(40, 30, QImage::Format_RGB32);
                QPainter painter(&image);
                drawing->play(painter, QRectF(0, 0, 40, 30));
            } else {
                QVERIFY(!error.isEmpty());
            }
        }
    }
}

void TestMetafile::hostileCountsAreBounded()
{
    EmfWriter w = emf100();
    for (int i = 0; i < 5000; ++i)
        w.saveDc(); // far deeper than the stack bound
    w.record(37, {qint32(0x7fffff00)}); // object index far outside the table
    w.record(40, {-5});
    w.record(38, {70000, 0, 1, 0, 0}); // pen at an index beyond the table bound
    w.record(42, {-2000000000, -2000000000, 2000000000, 2000000000});
    for (int i = 0; i < 5000; ++i)
        w.restoreDc();
    redFill(w);
    w.rectangle(QRect(0, 0, 10, 10));
    const QImage image = render(w.finish());
    QVERIFY(!image.isNull());
    CHECK_PIXEL(image, 5, 5, red);
}

void TestMetafile::corpusValidFilesLoad()
{
    const QString corpus = testsupport::corpusDir();
    if (corpus.isEmpty())
        QSKIP("the picture corpus is not present");
    QFile manifest(corpus + QStringLiteral("/MANIFEST.tsv"));
    QVERIFY(manifest.open(QIODevice::ReadOnly));
    // A file the manifest calls valid that we reject, and why: its third
    // record's size lands inside the Windows metafile that its comment
    // record carries, 24 bytes short (a regression file of its source suite).
    const QStringList rejected = {QStringLiteral("emf/poi-61294.emf")};
    // Files that load with their size and stay blank: EMF+ records only
    // (038), no drawing at all (030), text given only as glyph indices of a
    // font we do not have (185), white shapes only (empty-polygon-close).
    const QStringList blank = {QStringLiteral("emf/emf2svg-test-038.emf"), QStringLiteral("emf/emf2svg-test-030.emf"),
                               QStringLiteral("emf/emf2svg-test-185.emf"), QStringLiteral("wmf/poi-empty-polygon-close.wmf")};
    int checked = 0;
    const QRegularExpression placeable(QStringLiteral("placeable bbox \\((-?\\d+),(-?\\d+)\\)-\\((-?\\d+),(-?\\d+)\\), (\\d+) units/inch"));
    const QRegularExpression frame(QStringLiteral("frame \\((-?\\d+),(-?\\d+)\\)-\\((-?\\d+),(-?\\d+)\\) in 0.01 mm"));
    manifest.readLine();
    while (!manifest.atEnd()) {
        const QStringList f = QString::fromUtf8(manifest.readLine()).split(QLatin1Char('\t'));
        if (f.size() < 10 || !(f[1].startsWith(QLatin1String("wmf")) || f[1].startsWith(QLatin1String("emf"))))
            continue;
        if (f[4] != QLatin1String("yes") || rejected.contains(f[0]))
            continue;
        QFile file(corpus + QLatin1Char('/') + f[0]);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QString error;
        const auto drawing = load(file.readAll(), &error);
        QVERIFY2(drawing, qPrintable(f[0] + QStringLiteral(": ") + error));
        const QSize size = drawing->naturalSize();
        QVERIFY2(size.width() >= 1 && size.height() >= 1 && size.width() <= 20000 && size.height() <= 20000,
                 qPrintable(f[0]));
        // Our size follows from the header fields the manifest quotes.
        QSize expected;
        if (const auto m = placeable.match(f[9]); m.hasMatch()) {
            const double upi = m.captured(5).toDouble();
            expected = QSize(qRound(std::abs(m.captured(3).toDouble() - m.captured(1).toDouble()) * 96 / upi),
                             qRound(std::abs(m.captured(4).toDouble() - m.captured(2).toDouble()) * 96 / upi));
        } else if (const auto e = frame.match(f[9]); e.hasMatch()) {
            expected = QSize(qRound((e.captured(3).toDouble() - e.captured(1).toDouble()) * 96 / 2540),
                             qRound((e.captured(4).toDouble() - e.captured(2).toDouble()) * 96 / 2540));
        }
        if (expected.isValid()) {
            QVERIFY2(std::abs(size.width() - expected.width()) <= 1 && std::abs(size.height() - expected.height()) <= 1,
                     qPrintable(QStringLiteral("%1: %2x%3, header says %4x%5")
                                    .arg(f[0]).arg(size.width()).arg(size.height())
                                    .arg(expected.width()).arg(expected.height())));
        }
        QImage image(std::min(size.width(), 400), std::min(size.height(), 400), QImage::Format_RGB32);
        image.fill(white);
        QPainter painter(&image);
        drawing->play(painter, QRectF(image.rect()));
        painter.end();
        QVERIFY2(!ink(image, 8).isEmpty() || blank.contains(f[0]),
                 qPrintable(f[0] + QStringLiteral(" draws nothing")));
        ++checked;
    }
    QVERIFY(checked >= 40);
}

void TestMetafile::corpusBadFilesFailCleanly()
{
    const QString corpus = testsupport::corpusDir();
    if (corpus.isEmpty())
        QSKIP("the picture corpus is not present");
    // Damaged only in pixel values, a clip rectangle and comments: nothing a
    // reader can tell from a real drawing, so it loads.
    const QStringList loads = {QStringLiteral("emf2svg-corrupted-bad_corrupted_2017-02-12-010400.emf")};
    const QStringList files = QDir(corpus + QStringLiteral("/bad")).entryList({"*.wmf", "*.emf"}, QDir::Files);
    QVERIFY(!files.isEmpty());
    for (const QString &name : files) {
        QFile file(corpus + QStringLiteral("/bad/") + name);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QString error;
        const auto drawing = load(file.readAll(), &error);
        QVERIFY2((drawing != nullptr) == loads.contains(name), qPrintable(name + QStringLiteral(": ") + error));
        if (drawing) {
            QImage image(64, 64, QImage::Format_RGB32);
            QPainter painter(&image);
            drawing->play(painter, QRectF(image.rect()));
        } else {
            QVERIFY(!error.isEmpty());
        }
    }
}

QTEST_MAIN(TestMetafile)
#include "tst_metafile.moc"
