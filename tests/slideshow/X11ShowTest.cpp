#include "ShowFixture.h"

#include "controls/MenuItem.h"
#include "slideshow/Form3.h"
#include "tests/support/TestRunner.h"

#include <QGroupBox>
#include <QPushButton>
#include <QTest>

#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>

// The full-screen show on a real X server (on-window-manager.sh starts it,
// and openbox for the frame test), driven and examined from a connection of
// its own, as another program would.
namespace {

// A connection to the display of its own: another client of the server.
struct OutsideClient {
    xcb_connection_t *connection = xcb_connect(nullptr, nullptr);
    ~OutsideClient() { xcb_disconnect(connection); }
    bool ok() const { return xcb_connection_has_error(connection) == 0; }

    void destroy(WId window)
    {
        xcb_destroy_window(connection, xcb_window_t(window));
        xcb_flush(connection);
    }

    QRect geometry(xcb_window_t window) const
    {
        std::unique_ptr<xcb_get_geometry_reply_t, decltype(&std::free)> reply(
            xcb_get_geometry_reply(connection, xcb_get_geometry(connection, window), nullptr), &std::free);
        if (!reply)
            return {};
        const int border = 2 * reply->border_width;
        return QRect(reply->x, reply->y, reply->width + border, reply->height + border);
    }

    // The window manager's frame around a window: its parent, unless the
    // window is not reparented (no window manager, or not yet).
    QSize outerSize(WId window) const
    {
        std::unique_ptr<xcb_query_tree_reply_t, decltype(&std::free)> tree(
            xcb_query_tree_reply(connection, xcb_query_tree(connection, xcb_window_t(window)), nullptr), &std::free);
        if (!tree)
            return {};
        return geometry(tree->parent == tree->root ? xcb_window_t(window) : tree->parent).size();
    }
    QSize clientSize(WId window) const { return geometry(xcb_window_t(window)).size(); }
};

} // namespace

class X11ShowTest : public QObject {
    Q_OBJECT
    ShowFixture f;

private slots:
    void initTestCase() { QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb")); }
    void init() { f.setUp(); }
    void cleanup() { f.tearDown(); }

    // The show's window destroyed by another client, which closes nothing.
    void theShowsWindowDestroyedEndsTheShowAsCancel_data()
    {
        QTest::addColumn<QString>("loop");
        QTest::addColumn<int>("delay");
        QTest::addColumn<bool>("paused");
        // Without "Loop" the delay leaves the list far from its end.
        QTest::newRow("running") << "0" << 5000 << false;
        // Ticks keep coming while the window goes.
        QTest::newRow("running, Loop on") << "1" << 20 << false;
        QTest::newRow("paused, panel open, Loop on") << "1" << 20 << true;
    }
    void theShowsWindowDestroyedEndsTheShowAsCancel()
    {
        QFETCH(QString, loop);
        QFETCH(int, delay);
        QFETCH(bool, paused);
        settings::Write(settings::Loop, loop);
        f.pictures(3);
        f.load();
        f.main->cuspeed = delay;
        f.main->FullScreen_Click();
        QVERIFY(QTest::qWaitForWindowExposed(ShowFixture::show()));
        f.tick();
        if (paused) {
            ShowFixture::show()->Image1_Click();
            QVERIFY(QTest::qWaitForWindowExposed(ShowFixture::panel()));
        }

        OutsideClient outside;
        QVERIFY(outside.ok());
        outside.destroy(ShowFixture::show()->winId());
        QTRY_VERIFY_WITH_TIMEOUT(!ShowFixture::show(), 20000);
        f.verifyShowEnded();
        if (loop != QLatin1String("1")) // ended by the window, not by the end of the list
            QVERIFY(f.main->ShowCnt < f.main->File1->ListCount());

        // The viewer goes on: another show runs and ends as usual.
        f.main->cuspeed = 20;
        settings::Write(settings::Loop, QStringLiteral("0"));
        f.main->FullScreen_Click();
        QVERIFY(QTest::qWaitForWindowExposed(ShowFixture::show()));
        QTRY_VERIFY_WITH_TIMEOUT(!ShowFixture::show(), 20000);
        f.verifyShowEnded();
    }

    // Under a window manager, which reports the frame only after the window
    // is shown.
    void theSettingsFromThePanelAreCutOnEveryOpen()
    {
        f.pictures(3);
        f.start();
        f.tick();
        ShowFixture::show()->Image1_Click();
        slideshow::Form7 *panel = ShowFixture::panel();
        QVERIFY(QTest::qWaitForWindowExposed(panel));
        OutsideClient outside;
        QVERIFY(outside.ok());
        for (int open = 1; open <= 2; ++open) {
            panel->speed1->action()->trigger();
            slideshow::Form3 *dialog = slideshow::Form3::loaded();
            QVERIFY(dialog);
            QVERIFY(QTest::qWaitForWindowExposed(dialog));
            // 3600 x 2805 twips outside, frame and title bar included, as
            // the server has it.
            QTRY_COMPARE_WITH_TIMEOUT(outside.outerSize(dialog->winId()), QSize(240, 187), 20000);
            const QSize client = outside.clientSize(dialog->winId());
            QVERIFY2(client.height() < 187, "no window manager frames the dialog");
            QTRY_COMPARE(dialog->size(), client);
            QCOMPARE(dialog->WidthTwips(), 3600.0);
            QCOMPARE(dialog->HeightTwips(), 2805.0);
            // The delay frame with OK and Cancel whole; of the overlay
            // frame below it, not even its caption.
            QVERIFY(dialog->Frame6->visibleRegion().isEmpty());
            QCOMPARE(dialog->Command1->visibleRegion().boundingRect().size(), dialog->Command1->size());
            QCOMPARE(dialog->Command2->visibleRegion().boundingRect().size(), dialog->Command2->size());
            dialog->Command2_Click();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
    }
};

LUMADEX_TEST_CLASS(X11ShowTest);

#include "X11ShowTest.moc"
