// Pictures at the screen scale the process runs at (QT_SCALE_FACTOR; CTest
// runs this executable once per scale). Every check is made on the grabbed
// window, in device pixels, and holds alike at every scale.
#include "tests/slideshow/WinShowFixture.h"

#include "picture/metafile/writer/MetafileWriter.h"
#include "tests/support/TestRunner.h"
#include "view/Form8.h"

#include <QApplication>
#include <QTest>

#include <cmath>

namespace {

// The pane's and the full-screen windows' colour in these tests, which no
// picture here contains.
constexpr qint32 Red = 0x0000FF;
const QRgb RedRgb = qRgb(255, 0, 0);

// Black and white squares of `side` pixels; with side 1 every row and every
// column alternates, the finest lines a picture can hold.
QImage checkerboard(QSize size, int side = 1)
{
    QImage image(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            image.setPixel(x, y, (x / side + y / side) % 2 ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
    return image;
}

// A white 160 x 120 metafile with a black rectangle whose edges lie at
// multiples of 4 pixels: on whole device pixels at scales 1, 1.25 and 2.
QByteArray blackOnWhiteMetafile()
{
    picture::metafile::writer::WmfWriter wmf(true, QRect(0, 0, 160, 120), 96);
    wmf.selectObject(wmf.createPen(5, 0, Qt::black)); // no outline
    const int white = wmf.createBrush(0, Qt::white);
    const int black = wmf.createBrush(0, Qt::black);
    wmf.selectObject(white);
    wmf.rectangle(QRect(0, 0, 160, 120));
    wmf.selectObject(black);
    wmf.rectangle(QRect(40, 28, 80, 64));
    return wmf.finish();
}

bool pure(QRgb c)
{
    const auto near = [](int v, int to) { return std::abs(v - to) <= 4; };
    return (near(qRed(c), 0) && near(qGreen(c), 0) && near(qBlue(c), 0))
           || (near(qRed(c), 255) && near(qGreen(c), 255) && near(qBlue(c), 255));
}

// The bounding box of what is not the red background inside `within` (the
// whole image when empty).
QRect pictureArea(const QImage &shot, QRect within)
{
    if (within.isEmpty())
        within = shot.rect();
    QRect area;
    for (int y = within.top(); y <= within.bottom(); ++y)
        for (int x = within.left(); x <= within.right(); ++x)
            if (shot.pixel(x, y) != RedRgb)
                area |= QRect(x, y, 1, 1);
    return area;
}

// Empty when every device pixel of `area` is pure black or white and every
// run of one colour along a row or column, the clipped ones at the ends
// aside, is as long as one picture pixel is at `scale` (2 at scale 2, 1 or 2
// at scale 1.25): each picture pixel a crisp block, none lost or merged.
QString crispFault(const QImage &shot, const QRect &area, qreal scale)
{
    const int shortest = int(std::floor(scale));
    const int longest = int(std::ceil(scale));
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (!pure(shot.pixel(x, y)))
                return QStringLiteral("blended pixel %1 at %2,%3").arg(shot.pixel(x, y), 0, 16).arg(x).arg(y);
    const auto runs = [&](QPoint from, QPoint step, int count) -> QString {
        QList<int> lengths{1};
        for (int i = 1; i < count; ++i) {
            const QPoint at = from + step * i;
            if (shot.pixel(at) == shot.pixel(at - step))
                ++lengths.last();
            else
                lengths << 1;
        }
        for (int i = 1; i + 1 < lengths.size(); ++i)
            if (lengths[i] < shortest || lengths[i] > longest)
                return QStringLiteral("run of %1 device pixels from %2,%3").arg(lengths[i]).arg(from.x()).arg(from.y());
        return {};
    };
    for (int y = area.top(); y <= area.bottom(); ++y)
        if (QString fault = runs({area.left(), y}, {1, 0}, area.width()); !fault.isEmpty())
            return fault;
    for (int x = area.left(); x <= area.right(); ++x)
        if (QString fault = runs({x, area.top()}, {0, 1}, area.height()); !fault.isEmpty())
            return fault;
    return {};
}

// Mean grey difference between neighbouring pixels, across and down.
double neighbourContrast(const QImage &image, const QRect &area)
{
    double sum = 0;
    qint64 pairs = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            const int grey = qGray(image.pixel(x, y));
            if (x < area.right()) {
                sum += std::abs(grey - qGray(image.pixel(x + 1, y)));
                ++pairs;
            }
            if (y < area.bottom()) {
                sum += std::abs(grey - qGray(image.pixel(x, y + 1)));
                ++pairs;
            }
        }
    return pairs ? sum / double(pairs) : 0;
}

} // namespace

class ScreenScaleTest : public QObject {
    Q_OBJECT
    WinShowFixture f;

    static qreal scale() { return qApp->devicePixelRatio(); }

    // The grab of the window showing the picture, and where on it the
    // picture may lie.
    struct Shown {
        QImage shot;
        QRect within;
        QRect area() const { return pictureArea(shot, within); }
    };

    Shown ofWindow(QWidget &window) const { return {window.grab().toImage(), {}}; }
    Shown ofPane() const
    {
        // The pane's interior, less two pixels at each side for rounding.
        const controls::PictureBox &pane = *f.main->Picture5;
        const QPointF origin = QPointF(pane.mapTo(f.main, pane.interiorOrigin())) * scale();
        const QSizeF size = QSizeF(pane.ScaleWidth(), pane.ScaleHeight()) * scale();
        return {f.main->grab().toImage(), QRectF(origin, size).toAlignedRect().adjusted(2, 2, -2, -2)};
    }

    // Writes `image` (or `metafile`) as the one picture of C:\Pictures and
    // shows it as `where` says, on red.
    Shown show(const QString &where, const QImage &image, const QByteArray &metafile = {})
    {
        if (metafile.isEmpty())
            image.save(f.file(QStringLiteral("p.bmp")), "BMP");
        else
            testsupport::writeFile(f.file(QStringLiteral("p.wmf")), metafile);
        view::Form8::instance().Picture1->setBackColor(Red);
        slideshow::Form6::instance().Picture1->setBackColor(Red);
        f.load();
        f.main->Picture5->setBackColor(Red);
        f.main->File1->setListIndex(0);
        if (where == QLatin1String("full-screen show")) {
            f.main->FullScreen_Click();
            f.tick();
            return ofWindow(*f.show());
        }
        if (where == QLatin1String("window-mode show")) {
            f.main->viewmenu_Click();
            f.winTick();
            return ofPane();
        }
        if (where == QLatin1String("full view")) {
            f.main->ShowFullView();
            return ofWindow(*view::Form8::loaded());
        }
        if (where == QLatin1String("actual size"))
            f.main->Act1_Click();
        if (where == QLatin1String("stretched"))
            f.main->St1_Click();
        if (where == QLatin1String("larger view"))
            f.main->largev_Click();
        return ofPane();
    }

    // The device size of the box a shrunk picture is fitted into.
    static QSize deviceBox(const QString &where)
    {
        QSize logical(453, 389);
        if (where == QLatin1String("larger view"))
            logical = QSize(613, 389);
        if (where == QLatin1String("full-screen show"))
            logical = ShowFixture::screen();
        return (QSizeF(logical) * scale()).toSize();
    }

private slots:
    void init() { f.setUp(); }
    void cleanup() { f.tearDown(); }

    void runsAtTheScaleAskedFor()
    {
        QCOMPARE(scale(), qEnvironmentVariable("QT_SCALE_FACTOR", QStringLiteral("1")).toDouble());
    }

    // A picture shown one picture pixel to a logical pixel keeps every line
    // on a scaled screen: each picture pixel is a pure block of device
    // pixels (2 x 2 at scale 2), drawn from the picture's own pixels.
    void picturePixelsAreCrispBlocks_data()
    {
        QTest::addColumn<QString>("where");
        QTest::addColumn<QSize>("size");
        QTest::newRow("auto-fit, smaller than the pane") << "auto-fit" << QSize(120, 90);
        QTest::newRow("actual size, larger than the pane") << "actual size" << QSize(700, 500);
        QTest::newRow("full view") << "full view" << QSize(120, 90);
        QTest::newRow("window-mode show") << "window-mode show" << QSize(120, 90);
        QTest::newRow("full-screen show") << "full-screen show" << QSize(120, 90);
    }
    void picturePixelsAreCrispBlocks()
    {
        QFETCH(QString, where);
        QFETCH(QSize, size);
        const Shown shown = show(where, checkerboard(size));
        const QRect area = shown.area();
        QVERIFY(!area.isEmpty());
        const QString fault = crispFault(shown.shot, area, scale());
        QVERIFY2(fault.isEmpty(), qPrintable(fault));
    }

    // A picture larger than where it is shown is shrunk once, from its own
    // pixels to the device pixels it covers: as sharp as a screen at scale 1
    // shows it shrunk by the same factor. Its squares of 2 pixels become
    // about one device pixel (single pixels would average to grey at any
    // scale). Decoded at the logical size and then enlarged by the screen
    // scale it keeps a fifth of that contrast or less; the 10% allow for a
    // pixel of rounding between the decoded and the covered size.
    void shrunkPicturesAreShrunkOnceToDevicePixels_data()
    {
        QTest::addColumn<QString>("where");
        for (const char *where : {"auto-fit", "stretched", "larger view", "window-mode show", "full-screen show"})
            QTest::newRow(where) << QString::fromLatin1(where);
    }
    void shrunkPicturesAreShrunkOnceToDevicePixels()
    {
        QFETCH(QString, where);
        const QImage original = checkerboard(deviceBox(where) * 1.75, 2);
        const Shown shown = show(where, original);
        const QRect area = shown.area();
        QVERIFY(!area.isEmpty());
        const QImage once = original.scaled(area.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        const double contrast = neighbourContrast(shown.shot, area);
        const double ideal = neighbourContrast(once, once.rect());
        QVERIFY2(contrast >= 0.9 * ideal, qPrintable(QStringLiteral("%1 against %2").arg(contrast).arg(ideal)));
    }

    // A metafile is played at the screen's resolution wherever it is shown:
    // edges that fall on whole device pixels stay hard, with no pixel of
    // blended colour.
    void metafileEdgesAreSharp_data()
    {
        QTest::addColumn<QString>("where");
        for (const char *where : {"auto-fit", "full view", "window-mode show", "full-screen show"})
            QTest::newRow(where) << QString::fromLatin1(where);
    }
    void metafileEdgesAreSharp()
    {
        QFETCH(QString, where);
        const Shown shown = show(where, {}, blackOnWhiteMetafile());
        const QRect area = shown.area();
        QCOMPARE(area.size(), (QSizeF(160, 120) * scale()).toSize());
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x) {
                const QRgb pixel = shown.shot.pixel(x, y);
                QVERIFY2(pure(pixel), qPrintable(QStringLiteral("%1 at %2,%3").arg(pixel, 0, 16).arg(x).arg(y)));
            }
    }
};

LUMADEX_TEST_CLASS(ScreenScaleTest);
LUMADEX_TEST_MAIN()
#include "ScreenScaleTest.moc"
