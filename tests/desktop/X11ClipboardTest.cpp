#include "DesktopTesting.h"
#include "tests/browser/MainWindowFixture.h"
#include "controls/ImageControl.h"
#include "controls/PictureBox.h"
#include "platform/Clipboard.h"
#include "tests/support/TestRunner.h"

#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>

#include <memory>

// The clipboard of a real X server, shared with another program (xclip).
// Runs on a display of its own (on-own-display.sh).
class X11ClipboardTest : public QObject {
    Q_OBJECT
    MainWindowFixture f;
    // xclip keeps serving what it put on the clipboard until another
    // program takes the clipboard over; it is stopped after each test.
    std::unique_ptr<QProcess> owner;

    // Another program puts `data` on the clipboard as `type`, and holds it.
    void offer(const QByteArray &data, const QString &type)
    {
        owner = std::make_unique<QProcess>();
        owner->start(QStringLiteral("xclip"),
                     {QStringLiteral("-quiet"), QStringLiteral("-selection"), QStringLiteral("clipboard"), QStringLiteral("-t"),
                      type, QStringLiteral("-i")});
        QVERIFY(owner->waitForStarted());
        owner->write(data);
        owner->closeWriteChannel();
    }

    static QByteArray png(const QImage &image)
    {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        return bytes;
    }

private slots:
    void initTestCase() { QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb")); }
    void init()
    {
        f.setUp();
        // Nobody owns the clipboard, so a picture on it is the one offered.
        QGuiApplication::clipboard()->clear();
        QTRY_VERIFY_WITH_TIMEOUT(!platform::clipboardHasBitmap() && QGuiApplication::clipboard()->text().isEmpty(), 20000);
    }
    void cleanup()
    {
        if (owner) {
            owner->kill();
            owner->waitForFinished();
            owner.reset();
        }
        f.tearDown();
    }

    void anotherProgramReadsTheCopiedPicture()
    {
        const QImage pattern = patternImage({64, 48});
        pattern.save(f.c() + QStringLiteral("/Pictures/pattern.bmp"), "BMP");
        app::Form1 *main = f.load();
        QVERIFY(chooseFile(*main, QStringLiteral("pattern.bmp")));
        main->Copyto_Click();
        QCOMPARE(f.boxes->shown.size(), 1);
        QCOMPARE(f.boxes->shown.first().text, QStringLiteral("Process Completed!"));

        // The viewer answers xclip's request from its event loop while the
        // spy waits.
        QProcess reader;
        QSignalSpy finished(&reader, &QProcess::finished);
        reader.start(QStringLiteral("xclip"), {QStringLiteral("-selection"), QStringLiteral("clipboard"), QStringLiteral("-t"),
                                               QStringLiteral("image/png"), QStringLiteral("-o")});
        QVERIFY(finished.wait(30000));
        QCOMPARE(reader.exitCode(), 0);
        const QImage read = QImage::fromData(reader.readAllStandardOutput(), "PNG");
        QCOMPARE(read.size(), QSize(64, 48));
        QVERIFY(samePixels(read, pattern));
    }

    void aPngFromAnotherProgramPastes()
    {
        const QImage pattern = patternImage({90, 70});
        offer(png(pattern), QStringLiteral("image/png"));
        QTRY_VERIFY_WITH_TIMEOUT(platform::clipboardHasBitmap(), 20000);
        app::Form1 *main = f.load();
        main->view2_Click();
        QVERIFY(f.boxes->shown.isEmpty());
        QCOMPARE(main->Caption(), QStringLiteral("Lumadex Viewer 3.01  - Untitled"));
        QVERIFY(samePixels(main->Image1->Picture().image(), pattern));
    }

    void textFromAnotherProgramIsNoPicture()
    {
        offer("some words", QStringLiteral("UTF8_STRING"));
        QTRY_COMPARE_WITH_TIMEOUT(QGuiApplication::clipboard()->text(), QStringLiteral("some words"), 20000);
        app::Form1 *main = f.load();
        const QString title = main->Caption();
        main->view2_Click();
        QCOMPARE(f.boxes->shown.size(), 1);
        QCOMPARE(f.boxes->shown.first().text, QStringLiteral("No Image is found in ClipBoard"));
        QCOMPARE(main->Caption(), title);
    }

    // Data announced as a picture that does not decode: the message comes
    // after the browser was refreshed and the title set.
    void aDamagedPngGivesInvalidClipboardFormat()
    {
        offer(png(patternImage({20, 20})).left(40), QStringLiteral("image/png"));
        QTRY_VERIFY_WITH_TIMEOUT(platform::clipboardHasBitmap(), 20000);
        f.picture(QStringLiteral("Pictures/a.bmp"), {10, 10});
        app::Form1 *main = f.load();
        QVERIFY(chooseFile(*main, QStringLiteral("a.bmp")));
        main->view2_Click();
        QCOMPARE(f.boxes->shown.size(), 1);
        QCOMPARE(f.boxes->shown.first().text, QStringLiteral("Invalid Clipboard Format!"));
        QCOMPARE(f.boxes->shown.first().icon(), platform::MsgStyle::Critical);
        QCOMPARE(main->Caption(), QStringLiteral("Lumadex Viewer 3.01  - Untitled"));
        QCOMPARE(main->File1->ListIndex(), -1);
        QCOMPARE(main->Image1->Picture().image().cacheKey(), main->Picture2->Picture().image().cacheKey());
    }
};

LUMADEX_TEST_CLASS(X11ClipboardTest);
#include "X11ClipboardTest.moc"
