#include "controls/ImageControl.h"
#include "controls/PictureBox.h"
#include "platform/SystemColors.h"
#include "view/Form8.h"

#include <QCoreApplication>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>

using view::Form8;

namespace {

picture::Picture solid(QSize size, QColor colour)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    return picture::Picture::fromImage(image);
}

void deleteUnloaded()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

const QSize Screen(1024, 768);

} // namespace

class FullViewTest : public QObject {
    Q_OBJECT
private slots:
    void cleanup();
    void startsInDesignState();
    void largePictureShrunkAndCentredOnBlack();
    void reopeningReplacesPicture();
    void clickAnywhereUnloads_data();
    void clickAnywhereUnloads();
};

void FullViewTest::cleanup()
{
    if (Form8 *form = Form8::loaded())
        form->Unload();
    deleteUnloaded();
}

void FullViewTest::startsInDesignState()
{
    QVERIFY(!Form8::loaded());
    Form8 &form = Form8::instance();
    QCOMPARE(Form8::loaded(), &form);
    QCOMPARE(&Form8::instance(), &form);
    QVERIFY(form.windowFlags() & Qt::FramelessWindowHint);
    QCOMPARE(form.Picture1->BorderStyle(), controls::PictureBox::Border::None);
    QCOMPARE(form.Picture1->BackColor(), platform::systemColor(platform::COLOR_WINDOWTEXT));
    QCOMPARE(form.Image1->parentWidget(), form.Picture1);
    QVERIFY(!form.Image1->Stretch());
    QVERIFY(form.Image1->Picture().isNull());
}

void FullViewTest::largePictureShrunkAndCentredOnBlack()
{
    Form8 &form = Form8::instance();
    view::showFullView(form, solid({2000, 1000}, Qt::red), Screen);
    QVERIFY(form.isVisible());
    QCOMPARE(form.size(), Screen);
    QCOMPARE(form.Picture1->ScaleWidth(), 1024);
    QCOMPARE(form.Picture1->ScaleHeight(), 768);

    controls::ImageControl &image = *form.Image1;
    QVERIFY(image.Visible());
    QVERIFY(image.Stretch());
    QCOMPARE(image.Left(), 0.0f);
    QCOMPARE(image.Top(), 128.0f);
    QCOMPARE(image.Width(), 1024.0f);
    QCOMPARE(image.Height(), 512.0f);

    const QImage shot = form.grab().toImage();
    const QColor background = platform::resolveColor(platform::systemColor(platform::COLOR_WINDOWTEXT));
    QCOMPARE(shot.pixelColor(512, 384), QColor(Qt::red));
    QCOMPARE(shot.pixelColor(512, 127), background);
    QCOMPARE(shot.pixelColor(512, 128), QColor(Qt::red));
    QCOMPARE(shot.pixelColor(512, 639), QColor(Qt::red));
    QCOMPARE(shot.pixelColor(512, 640), background);
}

void FullViewTest::reopeningReplacesPicture()
{
    Form8 &form = Form8::instance();
    view::showFullView(form, solid({2000, 1000}, Qt::red), Screen);
    // Opened again while open: same window, the new picture at natural size.
    view::showFullView(Form8::instance(), solid({640, 480}, Qt::green), Screen);
    QCOMPARE(&Form8::instance(), &form);
    controls::ImageControl &image = *form.Image1;
    QVERIFY(!image.Stretch());
    QCOMPARE(image.Width(), 640.0f);
    QCOMPARE(image.Height(), 480.0f);
    QCOMPARE(image.Left(), 192.0f);
    QCOMPARE(image.Top(), 144.0f);
    QCOMPARE(form.grab().toImage().pixelColor(193, 145), QColor(Qt::green));
}

void FullViewTest::clickAnywhereUnloads_data()
{
    QTest::addColumn<bool>("onPicture");
    QTest::newRow("on-picture") << true;
    QTest::newRow("on-background") << false;
}

void FullViewTest::clickAnywhereUnloads()
{
    QFETCH(bool, onPicture);
    QPointer<Form8> form = &Form8::instance();
    view::showFullView(*form, solid({640, 480}, Qt::green), Screen);
    QVERIFY(QTest::qWaitForWindowExposed(form));
    QSignalSpy unloaded(form.data(), &controls::Form::unloaded);
    if (onPicture)
        QTest::mouseClick(form->Image1, Qt::LeftButton, {}, QPoint(10, 10));
    else
        QTest::mouseClick(form->Picture1, Qt::LeftButton, {}, QPoint(10, 10));
    QCOMPARE(unloaded.count(), 1);
    QVERIFY(!Form8::loaded());
    deleteUnloaded();
    QVERIFY(form.isNull());

    // The next one starts from its design state again.
    Form8 &fresh = Form8::instance();
    QVERIFY(fresh.Image1->Picture().isNull());
    QVERIFY(!fresh.Image1->Stretch());
}

int runFullViewTest(int argc, char **argv)
{
    FullViewTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "FullViewTest.moc"
