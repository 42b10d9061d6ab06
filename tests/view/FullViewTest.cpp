#include "controls/ImageControl.h"
#include "controls/PictureBox.h"
#include "platform/SystemColors.h"
#include "tests/view/TestPictures.h"
#include "view/Form8.h"

#include <QCoreApplication>
#include <QPointer>
#include <QTest>

using view::Form8;

namespace {

const QSize Screen(1024, 768);

void deleteUnloaded()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace

class FullViewTest : public QObject {
    Q_OBJECT
private slots:
    void cleanup();
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

void FullViewTest::largePictureShrunkAndCentredOnBlack()
{
    Form8 &form = Form8::instance();
    QVERIFY(form.windowFlags() & Qt::FramelessWindowHint);
    view::showFullView(form, solidPicture({2000, 1000}, Qt::red), Screen);
    QVERIFY(form.isVisible());
    QCOMPARE(form.size(), Screen);
    QCOMPARE(form.Picture1->ScaleWidth(), 1024); // no border: the interior is the screen
    QCOMPARE(form.Picture1->ScaleHeight(), 768);

    const controls::ImageControl &image = *form.Image1;
    QVERIFY(image.Visible() && image.Stretch());
    QCOMPARE(image.Left(), 0.0f);
    QCOMPARE(image.Top(), 128.0f);
    QCOMPARE(image.Width(), 1024.0f);
    QCOMPARE(image.Height(), 512.0f);

    const QImage shot = form.grab().toImage();
    const QColor black = platform::resolveColor(platform::systemColor(platform::COLOR_WINDOWTEXT));
    QCOMPARE(shot.pixelColor(512, 127), black);
    QCOMPARE(shot.pixelColor(512, 128), QColor(Qt::red));
    QCOMPARE(shot.pixelColor(512, 639), QColor(Qt::red));
    QCOMPARE(shot.pixelColor(512, 640), black);
}

void FullViewTest::reopeningReplacesPicture()
{
    Form8 &form = Form8::instance();
    view::showFullView(form, solidPicture({2000, 1000}, Qt::red), Screen);
    view::showFullView(Form8::instance(), solidPicture({640, 480}, Qt::green), Screen);
    QCOMPARE(&Form8::instance(), &form);
    const controls::ImageControl &image = *form.Image1;
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
    view::showFullView(*form, solidPicture({640, 480}, Qt::green), Screen);
    QVERIFY(QTest::qWaitForWindowExposed(form));
    QWidget *target = onPicture ? static_cast<QWidget *>(form->Image1) : form->Picture1;
    QTest::mouseClick(target, Qt::LeftButton, {}, QPoint(10, 10));
    QVERIFY(!Form8::loaded());
    deleteUnloaded();
    QVERIFY(form.isNull());

    // The next one starts from its design state again.
    const Form8 &fresh = Form8::instance();
    QVERIFY(fresh.Image1->Picture().isNull());
    QVERIFY(!fresh.Image1->Stretch());
    QCOMPARE(fresh.Picture1->BackColor(), platform::systemColor(platform::COLOR_WINDOWTEXT));
}

int runFullViewTest(int argc, char **argv)
{
    FullViewTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "FullViewTest.moc"
