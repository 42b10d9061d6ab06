#include "DesktopTesting.h"
#include "tests/browser/MainWindowFixture.h"
#include "controls/ImageControl.h"
#include "controls/Label.h"
#include "controls/MenuItem.h"
#include "controls/ScrollBar.h"
#include "picture/Loader.h"
#include "tests/support/TestRunner.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QTest>

using platform::MsgStyle::Critical;
using platform::MsgStyle::Question;

// Copy to and paste from the clipboard, on the clipboard of this process.
class ClipboardTest : public QObject {
    Q_OBJECT
    MainWindowFixture f;

    static QClipboard *clipboard() { return QGuiApplication::clipboard(); }

    void expectOneMessage(const QString &text, int icon)
    {
        QCOMPARE(f.boxes->shown.size(), 1);
        QCOMPARE(f.boxes->shown.first().text, text);
        QCOMPARE(f.boxes->shown.first().caption, QStringLiteral("Lumadex Viewer"));
        QCOMPARE(f.boxes->shown.first().icon(), icon);
        QCOMPARE(f.boxes->shown.first().buttons(), platform::MsgStyle::OKOnly);
        f.boxes->shown.clear();
    }

private slots:
    void init() { f.setUp(); }
    void cleanup()
    {
        clipboard()->clear();
        f.tearDown();
    }

    void copyWithNothingLoadedLeavesTheClipboard()
    {
        clipboard()->setText(QStringLiteral("kept"));
        app::Form1 *main = f.load();
        main->copyto->action()->trigger();
        expectOneMessage(QStringLiteral("Please Select A File"), Critical);
        QCOMPARE(clipboard()->text(), QStringLiteral("kept"));
    }

    // The view shows a decode reduced to the pane; the clipboard gets the
    // file's every pixel, through either menu.
    void copyGivesTheFullPicture()
    {
        const QImage photo = patternImage({1200, 900});
        QVERIFY(photo.save(f.c() + QStringLiteral("/Pictures/photo.jpg"), "JPEG", 95));
        app::Form1 *main = f.load();
        QVERIFY(chooseFile(*main, QStringLiteral("photo.jpg")));
        QVERIFY(main->Image1->Picture().isReduced());
        const QImage full = picture::load(f.c() + QStringLiteral("/Pictures/photo.jpg")).picture.image();
        for (controls::MenuItem *item : {main->copyto, main->copyto2}) {
            clipboard()->clear();
            item->action()->trigger();
            expectOneMessage(QStringLiteral("Process Completed!"), 0);
            QVERIFY(samePixels(clipboard()->image(), full));
        }
    }

    void aPastedPictureCannotBeCopiedAgain()
    {
        clipboard()->setImage(patternImage({30, 20}));
        app::Form1 *main = f.load();
        main->view2_Click();
        QVERIFY(f.boxes->shown.isEmpty());
        clipboard()->setText(QStringLiteral("kept"));
        main->Copyto_Click();
        expectOneMessage(QStringLiteral("Please Select A File"), Critical);
        QCOMPARE(clipboard()->text(), QStringLiteral("kept"));
    }

    // The pasted picture replaces the shown one with no file behind it, laid
    // out by the current mode.
    void pasteShowsThePictureInTheCurrentMode_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QRectF>("placed");
        QTest::addColumn<bool>("stretch");
        QTest::addColumn<bool>("horizontalBar");
        QTest::newRow("auto-fit-wide") << "auto1" << QSize(906, 300) << QRectF(0, 119.5, 453, 150) << true << false;
        QTest::newRow("actual-wide") << "Act1" << QSize(906, 300) << QRectF(0, 0, 906, 300) << false << true;
        // Stretching stays on and the pane-sized control keeps its size.
        QTest::newRow("stretched") << "St1" << QSize(40, 30) << QRectF(0, 0, 453, 389) << true << false;
    }
    void pasteShowsThePictureInTheCurrentMode()
    {
        QFETCH(QString, mode);
        QFETCH(QSize, size);
        QFETCH(QRectF, placed);
        QFETCH(bool, stretch);
        QFETCH(bool, horizontalBar);
        f.picture(QStringLiteral("Pictures/a.bmp"), {10, 10});
        app::Form1 *main = f.load();
        QVERIFY(chooseFile(*main, QStringLiteral("a.bmp")));
        main->findChild<controls::MenuItem *>(mode)->action()->trigger();
        const QImage pasted = patternImage(size);
        clipboard()->setImage(pasted);
        main->view3->action()->trigger();
        QVERIFY(f.boxes->shown.isEmpty());
        QCOMPARE(main->Caption(), QStringLiteral("Lumadex Viewer 3.01  - Untitled"));
        QVERIFY(samePixels(main->Image1->Picture().image(), pasted));
        QCOMPARE(QRectF(main->Image1->Left(), main->Image1->Top(), main->Image1->Width(), main->Image1->Height()),
                 placed);
        QCOMPARE(main->Image1->Stretch(), stretch);
        QVERIFY(main->Image1->Visible());
        QCOMPARE(main->HScroll1->isVisible(), horizontalBar);
        if (mode != QLatin1String("St1"))
            QCOMPARE(main->Label9->Caption(), QStringLiteral("%1 X %2").arg(size.width()).arg(size.height()));
        // No file is chosen or loaded.
        QCOMPARE(main->File1->ListIndex(), -1);
        QCOMPARE(main->File1->ListCount(), 1);
        QVERIFY(main->Label7->Caption().isEmpty());
        QVERIFY(main->Label3->Caption().isEmpty());
    }

    void pasteOfTextChangesNothing()
    {
        f.picture(QStringLiteral("Pictures/a.bmp"), {10, 10});
        app::Form1 *main = f.load();
        QVERIFY(chooseFile(*main, QStringLiteral("a.bmp")));
        const QString title = main->Caption();
        const QString size = main->Label7->Caption();
        clipboard()->setText(QStringLiteral("just text"));
        main->view2_Click();
        expectOneMessage(QStringLiteral("No Image is found in ClipBoard"), Question);
        QCOMPARE(main->Caption(), title);
        QCOMPARE(main->Label7->Caption(), size);
        QCOMPARE(main->File1->ListIndex(), 0);
        QCOMPARE(main->Image1->Picture().image().size(), QSize(10, 10));
    }
};

LUMADEX_TEST_CLASS(ClipboardTest);
#include "ClipboardTest.moc"
