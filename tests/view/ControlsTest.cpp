#include "controls/DevicePixels.h"
#include "controls/ImageControl.h"
#include "controls/PictureBox.h"
#include "controls/ScrollBar.h"
#include "tests/view/TestPictures.h"

#include <QPainter>
#include <QSignalSpy>
#include <QStyleOptionSlider>
#include <QTest>

using controls::ImageControl;
using controls::PictureBox;
using controls::ScrollBar;

namespace {

// Remembers where it was played, to tell a drawing played at the control's
// size from an enlarged bitmap.
class RecordingDrawing : public picture::Drawing {
public:
    QSize naturalSize() const override { return {30, 20}; }
    void play(QPainter &painter, const QRectF &target) const override
    {
        lastTarget = target;
        painter.fillRect(target, Qt::blue);
    }
    mutable QRectF lastTarget;
};

// A white 96 × 76 interior inside the 2-pixel border.
struct Pane {
    PictureBox box;
    ImageControl *image;
    Pane()
    {
        box.setBorderStyle(PictureBox::Border::Sunken);
        box.setBackColor(0x00FFFFFF);
        box.resize(100, 80);
        image = new ImageControl(&box);
    }
    QColor at(int x, int y) { return box.grab().toImage().pixelColor(2 + x, 2 + y); }
};

QPoint centreOf(ScrollBar &bar, QStyle::SubControl part)
{
    QStyleOptionSlider option;
    option.initFrom(&bar);
    option.orientation = bar.orientation();
    option.maximum = bar.maximum();
    option.sliderPosition = option.sliderValue = bar.value();
    option.singleStep = option.pageStep = 1;
    return bar.style()->subControlRect(QStyle::CC_ScrollBar, &option, part, &bar).center();
}

} // namespace

class ControlsTest : public QObject {
    Q_OBJECT
private slots:
    void stretchOffFollowsNaturalSize();
    void keepsExactValuesAndRoundsEdges();
    void clipsToInteriorAndStaysHidden();
    void drawsPictureAtControlSize();
    void deviceRectsRoundEachEdge_data();
    void deviceRectsRoundEachEdge();
    void clickAndMouseDown();
    void scrollBarChangesByOneUnit();
    void sunkenBorderTakesTheOuterTwoPixels();
};

void ControlsTest::stretchOffFollowsNaturalSize()
{
    Pane pane;
    ImageControl &image = *pane.image;
    image.setPicture(solidPicture({40, 30}, Qt::red));
    QCOMPARE(image.Width(), 40.0f);
    QCOMPARE(image.Height(), 30.0f);

    // A size set while off stays (the picture is clipped) until Stretch is turned off again.
    image.setWidth(10.5f);
    image.setStretch(true);
    image.setPicture(solidPicture({7, 9}, Qt::green));
    QCOMPARE(image.Width(), 10.5f);
    QCOMPARE(image.Height(), 30.0f);
    image.setStretch(false);
    QCOMPARE(image.Width(), 7.0f);
    QCOMPARE(image.Height(), 9.0f);
    image.setHeight(100);
    image.setStretch(false); // already off: still back to the natural size
    QCOMPARE(image.Height(), 9.0f);

    image.setPicture(picture::Picture());
    QCOMPARE(image.Width(), 0.0f);
    QVERIFY(image.isHidden()); // nothing to show, though Visible stays set
    QVERIFY(image.Visible());
}

void ControlsTest::keepsExactValuesAndRoundsEdges()
{
    Pane pane;
    ImageControl &image = *pane.image;
    image.setStretch(true);
    image.Move(10.6667f, 0.25f, 20.6667f, 30.5f);
    QCOMPARE(image.Left(), 10.6667f);
    QCOMPARE(image.Width(), 20.6667f);
    // Edges 10.67 → 11 and 31.33 → 31; 0.25 → 0 and 30.75 → 31.
    QCOMPARE(image.geometry(), QRect(13, 2, 20, 31));

    // Halves go up on both sides of 0, so scrolling shifts every edge alike.
    image.Move(-0.5f, -0.6f, 4, 4);
    QCOMPARE(image.pixelRect(), QRect(0, -1, 4, 4));
    // A sliver keeps one pixel.
    image.Move(5, 5, 0.004f, 40);
    QCOMPARE(image.pixelRect().width(), 1);
    // Values far off every screen do not overflow the pixel conversion.
    image.Move(-1e30f, 1e30f, 1e30f, 10);
    QVERIFY(image.isHidden());
}

void ControlsTest::clipsToInteriorAndStaysHidden()
{
    Pane pane;
    ImageControl &image = *pane.image;
    image.setPicture(solidPicture({200, 200}, Qt::red));
    image.Move(-10, -10);
    QCOMPARE(image.geometry(), QRect(2, 2, 96, 76)); // never over the border
    image.Move(500, 0);
    QVERIFY(image.Visible() && image.isHidden());

    // Hidden by the property: stays hidden when the container is shown.
    image.Move(50, 50);
    image.setVisible(false);
    pane.box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&pane.box));
    QVERIFY(!image.isVisible());
    image.setVisible(true);
    QVERIFY(image.isVisible());
    QCOMPARE(image.geometry(), QRect(52, 52, 46, 26));
    pane.box.resize(300, 300); // a larger container uncovers more of the picture
    QCOMPARE(image.geometry(), QRect(52, 52, 200, 200));
}

void ControlsTest::drawsPictureAtControlSize()
{
    Pane pane;
    ImageControl &image = *pane.image;
    QImage split(2, 1, QImage::Format_RGB32); // left half red, right half green
    split.setPixel(0, 0, qRgb(255, 0, 0));
    split.setPixel(1, 0, qRgb(0, 255, 0));
    image.setPicture(picture::Picture::fromImage(split));
    image.setStretch(true);
    image.Move(0, 0, 60, 40);
    for (int pass = 0; pass < 2; ++pass) { // the second paint comes from the scaled copy
        QCOMPARE(pane.at(5, 20), QColor(Qt::red));
        QCOMPARE(pane.at(55, 20), QColor(Qt::green));
        QCOMPARE(pane.at(70, 20), QColor(Qt::white));
    }
    image.setWidth(20); // a new size is scaled afresh
    QCOMPARE(pane.at(15, 20), QColor(Qt::green));

    // Stretch off: unscaled at the control's corner; the rest of it is see-through.
    image.setPicture(solidPicture({10, 10}, Qt::red));
    image.setStretch(false);
    image.Move(20, 20, 40, 40);
    QCOMPARE(pane.at(25, 25), QColor(Qt::red));
    QCOMPARE(pane.at(35, 25), QColor(Qt::white));

    // A drawing is played at the control's size.
    auto drawing = std::make_shared<RecordingDrawing>();
    image.setPicture(picture::Picture::fromDrawing(drawing));
    image.setStretch(true);
    image.Move(10, 10, 80, 60);
    QCOMPARE(pane.at(89, 69), QColor(Qt::blue));
    QCOMPARE(drawing->lastTarget, QRectF(0, 0, 80, 60));
}

void ControlsTest::deviceRectsRoundEachEdge_data()
{
    QTest::addColumn<qreal>("scale");
    QTest::addColumn<QPoint>("offset");
    QTest::addColumn<QRect>("logical");
    QTest::addColumn<QRect>("device");
    QTest::newRow("scale 1") << 1.0 << QPoint(162, 22) << QRect(0, 0, 453, 389) << QRect(162, 22, 453, 389);
    // 202.5 → 203 and 768.75 → 769: 566 wide, where 453 × 1.25 is 566.25.
    QTest::newRow("scale 1.25") << 1.25 << QPoint(162, 22) << QRect(0, 0, 453, 389) << QRect(203, 28, 566, 486);
    QTest::newRow("scale 1.25, one pixel on") << 1.25 << QPoint(163, 22) << QRect(0, 0, 453, 389) << QRect(204, 28, 566, 486);
    QTest::newRow("scale 1.25, scrolled left") << 1.25 << QPoint(0, 0) << QRect(-2, 0, 4, 4) << QRect(-2, 0, 5, 5);
    QTest::newRow("scale 2") << 2.0 << QPoint(162, 22) << QRect(10, 5, 7, 3) << QRect(344, 54, 14, 6);
}

void ControlsTest::deviceRectsRoundEachEdge()
{
    QFETCH(qreal, scale);
    QFETCH(QPoint, offset);
    QFETCH(QRect, logical);
    QFETCH(QRect, device);
    const QTransform toDevice = QTransform::fromTranslate(offset.x(), offset.y()) * QTransform::fromScale(scale, scale);
    QCOMPARE(controls::deviceRect(toDevice, logical), device);
    // Two rectangles that meet in logical pixels meet on the device, with no
    // gap and no overlap between them.
    const int split = logical.width() / 3;
    const QRect left = controls::deviceRect(toDevice, QRect(logical.topLeft(), QSize(split, logical.height())));
    const QRect right = controls::deviceRect(toDevice, logical.adjusted(split, 0, 0, 0));
    QCOMPARE(left.x() + left.width(), right.x());
    QCOMPARE(left.width() + right.width(), device.width());
}

void ControlsTest::clickAndMouseDown()
{
    Pane pane;
    ImageControl &image = *pane.image;
    image.setPicture(solidPicture({20, 20}, Qt::red));
    image.Move(-5.2f, 10);
    pane.box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&pane.box));
    QSignalSpy clicks(&image, &ImageControl::Click);
    QSignalSpy downs(&image, &ImageControl::MouseDown);
    QSignalSpy boxClicks(&pane.box, &PictureBox::Click);

    // The widget starts at the interior's edge, the control 5 pixels further left.
    QTest::mouseClick(&image, Qt::LeftButton, Qt::ShiftModifier, QPoint(3, 4));
    QTest::mouseClick(&image, Qt::RightButton, {}, QPoint(3, 4));
    QCOMPARE(clicks.count(), 1);
    QCOMPARE(boxClicks.count(), 0);
    QCOMPARE(downs.count(), 2);
    QCOMPARE(downs.at(0), QVariantList({1, 1, 8.0f, 4.0f}));
    QCOMPARE(downs.at(1).at(0).toInt(), 2);
}

void ControlsTest::scrollBarChangesByOneUnit()
{
    ScrollBar bar(Qt::Horizontal);
    bar.setMax(32700);
    bar.resize(300, 16);
    bar.show();
    QVERIFY(QTest::qWaitForWindowExposed(&bar));
    QSignalSpy changes(&bar, &ScrollBar::Change);
    bar.setValue(0);
    QCOMPARE(changes.count(), 0);

    QTest::mouseClick(&bar, Qt::LeftButton, {}, centreOf(bar, QStyle::SC_ScrollBarAddLine));
    QTest::mouseClick(&bar, Qt::LeftButton, {}, centreOf(bar, QStyle::SC_ScrollBarAddPage));
    QCOMPARE(bar.Value(), 2);
    QCOMPARE(changes.count(), 2);

    // Dragging the thumb: the value follows when it is let go, once.
    bar.setSliderDown(true);
    bar.setSliderPosition(16340);
    bar.setSliderPosition(40000);
    QCOMPARE(changes.count(), 2);
    bar.setSliderDown(false);
    QCOMPARE(bar.Value(), 32700);
    QCOMPARE(changes.count(), 3);
    bar.setValue(32700);
    QCOMPARE(changes.count(), 3);
}

int runControlsTest(int argc, char **argv)
{
    ControlsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "ControlsTest.moc"

void ControlsTest::sunkenBorderTakesTheOuterTwoPixels()
{
    // A picture filling the interior, so any pixel the border leaves out or
    // the picture covers shows.
    Pane pane;
    pane.image->setStretch(true);
    pane.image->Move(0, 0, 96, 76);
    pane.image->setPicture(solidPicture({5, 5}, Qt::red));
    const QImage shot = pane.box.grab().toImage();
    QCOMPARE(shot.size(), QSize(100, 80));
    const QPalette pal = pane.box.palette();
    const QRgb mid = pal.color(QPalette::Mid).rgb(), light = pal.color(QPalette::Light).rgb();
    const QRgb shadow = pal.color(QPalette::Shadow).rgb(), midlight = pal.color(QPalette::Midlight).rgb();
    for (int x = 0; x < 99; ++x) {
        QCOMPARE(shot.pixel(x, 0), mid);
        QCOMPARE(shot.pixel(x + 1, 79), light);
        if (x >= 1 && x < 98) {
            QCOMPARE(shot.pixel(x, 1), shadow);
            QCOMPARE(shot.pixel(x + 1, 78), midlight);
        }
    }
    for (int y = 0; y < 79; ++y) {
        QCOMPARE(shot.pixel(0, y), mid);
        QCOMPARE(shot.pixel(99, y + 1), light);
        if (y >= 1 && y < 78) {
            QCOMPARE(shot.pixel(1, y), shadow);
            QCOMPARE(shot.pixel(98, y + 1), midlight);
        }
    }
    for (int y = 2; y < 78; ++y)
        for (int x = 2; x < 98; ++x)
            QCOMPARE(shot.pixel(x, y), qRgb(255, 0, 0));
}
