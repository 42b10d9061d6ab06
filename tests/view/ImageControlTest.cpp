#include "controls/ImageControl.h"
#include "controls/PictureBox.h"

#include <QPainter>
#include <QSignalSpy>
#include <QTest>

using controls::ImageControl;
using controls::PictureBox;

namespace {

picture::Picture solid(QSize size, QColor colour)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    return picture::Picture::fromImage(image);
}

// Remembers where it was asked to play, so a test can tell a drawing played
// at the control's size from an enlarged bitmap.
class RecordingDrawing : public picture::Drawing {
public:
    explicit RecordingDrawing(QSize size) : m_size(size) {}
    QSize naturalSize() const override { return m_size; }
    void play(QPainter &painter, const QRectF &target) const override
    {
        targets.append(target);
        painter.fillRect(target, Qt::blue);
    }
    mutable QList<QRectF> targets;

private:
    QSize m_size;
};

// A 96 × 76 interior inside the 2-pixel border.
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
};

} // namespace

class ImageControlTest : public QObject {
    Q_OBJECT
private slots:
    void stretchOffFollowsNaturalSize();
    void keepsExactValuesAndRoundsEdges();
    void clipsToContainerInterior();
    void hiddenControlStaysHiddenWhenContainerShown();
    void drawsRasterScaledOrUnscaled();
    void playsDrawingAtControlSize();
    void clickAndMouseDown();
};

void ImageControlTest::stretchOffFollowsNaturalSize()
{
    Pane pane;
    ImageControl &image = *pane.image;
    QVERIFY(!image.Stretch());
    image.setPicture(solid({40, 30}, Qt::red));
    QCOMPARE(image.Width(), 40.0f);
    QCOMPARE(image.Height(), 30.0f);

    // A size set while off stays (the picture is clipped), until Stretch is turned off again.
    image.setWidth(10.5f);
    QCOMPARE(image.Width(), 10.5f);
    image.setStretch(true);
    QCOMPARE(image.Width(), 10.5f);
    image.setPicture(solid({7, 9}, Qt::green));
    QCOMPARE(image.Width(), 10.5f);
    QCOMPARE(image.Height(), 30.0f);
    image.setStretch(false);
    QCOMPARE(image.Width(), 7.0f);
    QCOMPARE(image.Height(), 9.0f);
    // Off while already off still restores the natural size.
    image.setHeight(100);
    image.setStretch(false);
    QCOMPARE(image.Height(), 9.0f);

    image.setPicture(picture::Picture());
    QCOMPARE(image.Width(), 0.0f);
    QCOMPARE(image.Height(), 0.0f);
    QVERIFY(image.isHidden()); // nothing to show, though Visible stays set
    QVERIFY(image.Visible());
}

void ImageControlTest::keepsExactValuesAndRoundsEdges()
{
    Pane pane;
    ImageControl &image = *pane.image;
    image.setStretch(true);
    image.Move(10.6667f, 0.25f, 20.6667f, 30.5f);
    QCOMPARE(image.Left(), 10.6667f);
    QCOMPARE(image.Width(), 20.6667f);
    // Edges at 10.67 → 11 and 31.33 → 31; 0.25 → 0 and 30.75 → 31.
    QCOMPARE(image.pixelRect(), QRect(11, 0, 20, 31));
    QCOMPARE(image.geometry(), QRect(13, 2, 20, 31));

    // Halves go up on both sides of 0, so scrolling shifts every edge alike.
    image.Move(-0.5f, -0.6f, 4, 4);
    QCOMPARE(image.pixelRect(), QRect(0, -1, 4, 4));

    // A sliver keeps one pixel.
    image.Move(5, 5, 0.004f, 40);
    QCOMPARE(image.pixelRect().width(), 1);
    image.setWidth(-3);
    QCOMPARE(image.Width(), 0.0f);
    QVERIFY(image.isHidden());

    // Values far off every screen do not overflow the pixel conversion.
    image.Move(-1e30f, 1e30f, 1e30f, 10);
    QVERIFY(image.isHidden());
}

void ImageControlTest::clipsToContainerInterior()
{
    Pane pane;
    ImageControl &image = *pane.image;
    image.setPicture(solid({200, 200}, Qt::red));
    image.Move(-10, -10);
    QCOMPARE(image.geometry(), QRect(2, 2, 96, 76)); // never over the border

    image.Move(500, 0);
    QVERIFY(image.Visible());
    QVERIFY(image.isHidden());

    image.Move(50, 50);
    QCOMPARE(image.geometry(), QRect(52, 52, 46, 26));
    pane.box.show(); // a hidden widget gets its resize event only when shown
    QVERIFY(QTest::qWaitForWindowExposed(&pane.box));
    pane.box.resize(300, 300); // a larger container uncovers more of the picture
    QCOMPARE(image.geometry(), QRect(52, 52, 200, 200));
}

void ImageControlTest::hiddenControlStaysHiddenWhenContainerShown()
{
    Pane pane;
    ImageControl *other = new ImageControl(&pane.box);
    other->setPicture(solid({10, 10}, Qt::red));
    pane.image->setPicture(solid({10, 10}, Qt::red));
    pane.image->setVisible(false);
    pane.box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&pane.box));
    QVERIFY(!pane.image->isVisible());
    QVERIFY(other->isVisible());
    pane.image->setVisible(true);
    QVERIFY(pane.image->isVisible());
}

void ImageControlTest::drawsRasterScaledOrUnscaled()
{
    Pane pane;
    ImageControl &image = *pane.image;
    // Left half red, right half green.
    QImage split(2, 1, QImage::Format_RGB32);
    split.setPixel(0, 0, qRgb(255, 0, 0));
    split.setPixel(1, 0, qRgb(0, 255, 0));
    image.setPicture(picture::Picture::fromImage(split));
    image.setStretch(true);
    image.Move(0, 0, 60, 40);
    for (int pass = 0; pass < 2; ++pass) { // the second paint comes from the scaled copy
        const QImage shot = pane.box.grab().toImage();
        QCOMPARE(shot.pixelColor(2 + 5, 2 + 20), QColor(Qt::red));
        QCOMPARE(shot.pixelColor(2 + 55, 2 + 20), QColor(Qt::green));
        QCOMPARE(shot.pixelColor(2 + 70, 2 + 20), QColor(Qt::white)); // the box around it
    }
    image.setWidth(20); // a new size is scaled afresh
    QCOMPARE(pane.box.grab().toImage().pixelColor(2 + 15, 2 + 20), QColor(Qt::green));

    // Stretch off: unscaled at the control's corner, the rest of the control is see-through.
    image.setPicture(solid({10, 10}, Qt::red));
    image.setStretch(false);
    image.Move(20, 20, 40, 40);
    const QImage shot = pane.box.grab().toImage();
    QCOMPARE(shot.pixelColor(2 + 25, 2 + 25), QColor(Qt::red));
    QCOMPARE(shot.pixelColor(2 + 35, 2 + 25), QColor(Qt::white));
}

void ImageControlTest::playsDrawingAtControlSize()
{
    Pane pane;
    pane.box.resize(404, 304);
    auto drawing = std::make_shared<RecordingDrawing>(QSize(30, 20));
    ImageControl &image = *pane.image;
    image.setPicture(picture::Picture::fromDrawing(drawing));
    image.setStretch(true);
    image.Move(10, 10, 300, 200);
    const QImage shot = pane.box.grab().toImage();
    QVERIFY(!drawing->targets.isEmpty());
    QCOMPARE(drawing->targets.last(), QRectF(0, 0, 300, 200));
    QCOMPARE(shot.pixelColor(2 + 300, 2 + 200), QColor(Qt::blue));
}

void ImageControlTest::clickAndMouseDown()
{
    Pane pane;
    ImageControl &image = *pane.image;
    image.setPicture(solid({20, 20}, Qt::red));
    image.Move(-5.2f, 10);
    pane.box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&pane.box));
    QSignalSpy clicks(&image, &ImageControl::Click);
    QSignalSpy downs(&image, &ImageControl::MouseDown);
    QSignalSpy boxClicks(&pane.box, &PictureBox::Click);

    // The widget starts at the interior's edge; the control 5 pixels further left.
    QTest::mouseClick(&image, Qt::LeftButton, Qt::ShiftModifier, QPoint(3, 4));
    QCOMPARE(clicks.count(), 1);
    QCOMPARE(boxClicks.count(), 0);
    QCOMPARE(downs.count(), 1);
    QCOMPARE(downs.at(0).at(0).toInt(), 1);
    QCOMPARE(downs.at(0).at(1).toInt(), 1);
    QCOMPARE(downs.at(0).at(2).toFloat(), 8.0f);
    QCOMPARE(downs.at(0).at(3).toFloat(), 4.0f);

    QTest::mouseClick(&image, Qt::RightButton, {}, QPoint(3, 4));
    QCOMPARE(clicks.count(), 1);
    QCOMPARE(downs.count(), 2);
    QCOMPARE(downs.at(1).at(0).toInt(), 2);
}

int runImageControlTest(int argc, char **argv)
{
    ImageControlTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "ImageControlTest.moc"
