#include "DesktopTesting.h"
#include "tests/browser/MainWindowFixture.h"
#include "controls/ImageControl.h"
#include "controls/Label.h"
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

#include <xcb/xcb.h>

namespace {

// A program that takes the clipboard and then never answers for it, as a
// hung one does. It only counts the requests that reach it.
class SilentOwner {
public:
    SilentOwner() : m_connection(xcb_connect(nullptr, nullptr)) {}
    ~SilentOwner() { xcb_disconnect(m_connection); } // gives the clipboard up
    SilentOwner(const SilentOwner &) = delete;
    SilentOwner &operator=(const SilentOwner &) = delete;

    bool takeClipboard()
    {
        if (xcb_connection_has_error(m_connection))
            return false;
        xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data;
        const xcb_window_t window = xcb_generate_id(m_connection);
        xcb_create_window(m_connection, XCB_COPY_FROM_PARENT, window, screen->root, 0, 0, 1, 1, 0,
                          XCB_WINDOW_CLASS_INPUT_ONLY, screen->root_visual, 0, nullptr);
        xcb_intern_atom_reply_t *atom =
            xcb_intern_atom_reply(m_connection, xcb_intern_atom(m_connection, 0, 9, "CLIPBOARD"), nullptr);
        if (!atom)
            return false;
        const xcb_atom_t clipboard = atom->atom;
        free(atom);
        xcb_set_selection_owner(m_connection, window, clipboard, XCB_CURRENT_TIME);
        xcb_get_selection_owner_reply_t *owner =
            xcb_get_selection_owner_reply(m_connection, xcb_get_selection_owner(m_connection, clipboard), nullptr);
        const bool owns = owner && owner->owner == window;
        free(owner);
        return owns;
    }

    // The requests for the clipboard's contents received so far.
    int requests()
    {
        // A round trip, so that every request sent before it has arrived.
        free(xcb_get_input_focus_reply(m_connection, xcb_get_input_focus(m_connection), nullptr));
        while (xcb_generic_event_t *event = xcb_poll_for_event(m_connection)) {
            if ((event->response_type & 0x7f) == XCB_SELECTION_REQUEST)
                ++m_requests;
            free(event);
        }
        return m_requests;
    }

private:
    xcb_connection_t *m_connection;
    int m_requests = 0;
};

} // namespace

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

    // The viewer's own limit holds for pasted pictures, not the image
    // reader's smaller default (128 MB, about 33 megapixels): a 36-megapixel
    // photo pastes, a picture over the limit is refused before it is decoded.
    // The second is black and white, so that the test makes it in little memory.
    void largePicturesPasteUpToTheViewersLimit_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QImage::Format>("format");
        QTest::addColumn<bool>("pastes");
        QTest::newRow("36 megapixels") << QSize(6000, 6000) << QImage::Format_RGB32 << true;
        QTest::newRow("over the limit") << QSize(12000, 12000) << QImage::Format_Mono << false;
    }
    void largePicturesPasteUpToTheViewersLimit()
    {
        QFETCH(QSize, size);
        QFETCH(QImage::Format, format);
        QFETCH(bool, pastes);
        QImage picture(size, format);
        picture.fill(Qt::color1);
        picture.setPixel(0, 0, Qt::color0);
        offer(png(picture), QStringLiteral("image/png"));
        picture = QImage();
        QTRY_VERIFY_WITH_TIMEOUT(platform::clipboardHasBitmap(), 20000);
        app::Form1 *main = f.load();
        main->view2_Click();
        QCOMPARE(main->Caption(), QStringLiteral("Lumadex Viewer 3.01  - Untitled"));
        if (pastes) {
            QVERIFY(f.boxes->shown.isEmpty());
            QCOMPARE(main->Image1->Picture().naturalSize(), size);
            QCOMPARE(main->Label9->Caption(), QStringLiteral("%1 X %2").arg(size.width()).arg(size.height()));
        } else {
            QCOMPARE(f.boxes->shown.size(), 1);
            QCOMPARE(f.boxes->shown.first().text, QStringLiteral("Invalid Clipboard Format!"));
        }
    }

    // The clipboard's owner never answers: the viewer asks it once what it
    // holds (one wait of the toolkit's timeout), hears of no picture and
    // changes nothing, instead of asking again for every picture format.
    void anOwnerThatNeverAnswersIsAskedOnce()
    {
        QSignalSpy changed(QGuiApplication::clipboard(), &QClipboard::changed);
        SilentOwner silent;
        QVERIFY(silent.takeClipboard());
        // Qt has then forgotten what the previous owner offered.
        QTRY_VERIFY_WITH_TIMEOUT(!changed.isEmpty(), 20000);
        app::Form1 *main = f.load();
        const QString title = main->Caption();
        main->view2_Click();
        QCOMPARE(silent.requests(), 1);
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
