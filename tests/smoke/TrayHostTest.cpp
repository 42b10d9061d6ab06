// The tray icon on a real X server, with and without a tray host (trayer).
// tray-host.sh starts the display and the host and picks the class; the
// mouse is moved and pressed from outside with xdotool, so the presses reach
// the icon through the X server as a user's would.
#include "app/Form1.h"
#include "app/Form10.h"
#include "app/Runtime.h"
#include "controls/MenuItem.h"
#include "platform/SingleInstance.h"
#include "platform/Tray.h"
#include "settings/Settings.h"
#include "tests/support/RecordingDialogs.h"
#include "tests/support/TestEnvironment.h"
#include "tests/support/TestRunner.h"

#include <QAction>
#include <QGuiApplication>
#include <QMenu>
#include <QProcess>
#include <QScreen>
#include <QSignalSpy>
#include <QSystemTrayIcon>
#include <QTest>

#include <memory>

using app::Form1;

namespace {

// The host's background, as tray-host.sh starts trayer.
const QRgb kTrayBackground = qRgb(0x00, 0xff, 0x00);

void xdotool(const QStringList &args)
{
    QCOMPARE(QProcess::execute(QStringLiteral("xdotool"), args), 0);
}

void pressAt(QPoint at, const QString &button, int repeat = 1)
{
    xdotool({QStringLiteral("mousemove"), QString::number(at.x()), QString::number(at.y()), QStringLiteral("click"),
             QStringLiteral("--repeat"), QString::number(repeat), QStringLiteral("--delay"), QStringLiteral("80"),
             button});
}

QList<QSystemTrayIcon *> trayIcons()
{
    return platform::tray().findChildren<QSystemTrayIcon *>();
}

// Where the host's panel window is on the screen.
QRect hostPanel()
{
    QProcess query;
    query.start(QStringLiteral("xdotool"), {QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--name"),
                                            QStringLiteral("^panel$"), QStringLiteral("getwindowgeometry"), QStringLiteral("--shell")});
    if (!query.waitForFinished(-1))
        return {};
    QMap<QString, int> shell;
    for (const QString &line : QString::fromLatin1(query.readAllStandardOutput()).split('\n'))
        if (const qsizetype eq = line.indexOf('='); eq > 0)
            shell[line.left(eq)] = line.mid(eq + 1).toInt();
    return QRect(shell.value("X"), shell.value("Y"), shell.value("WIDTH"), shell.value("HEIGHT"));
}

// The one icon of ours, once the host has embedded it in its panel (until
// then the icon window sits at the screen's corner).
QSystemTrayIcon *embeddedIcon()
{
    if (trayIcons().size() != 1)
        return nullptr;
    QSystemTrayIcon *icon = trayIcons().first();
    // The panel grows and shrinks with its icons: asked again each time.
    if (!QTest::qWaitFor([&] { return !icon->geometry().isEmpty() && hostPanel().contains(icon->geometry()); }))
        return nullptr;
    return icon;
}

// The share of the icon's pixels on screen that are not the host's background.
double paintedShare(const QRect &geometry)
{
    const QImage shot = QGuiApplication::primaryScreen()
                            ->grabWindow(0, geometry.x(), geometry.y(), geometry.width(), geometry.height())
                            .toImage()
                            .convertToFormat(QImage::Format_RGB32);
    if (shot.isNull())
        return 0;
    int painted = 0;
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x)
            painted += shot.pixel(x, y) != kTrayBackground;
    return double(painted) / (shot.width() * shot.height());
}

// Counts the mouse releases that reach the program's windows (each release
// from the X server reaches exactly one).
class ReleaseCounter : public QObject {
public:
    int count = 0;
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        count += watched->isWindowType() && event->type() == QEvent::MouseButtonRelease;
        return false;
    }
};

QStringList captions(const QMenu *menu)
{
    QStringList result;
    for (const QAction *action : menu->actions())
        result << action->text();
    return result;
}

class TrayFixture : public QObject {
    Q_OBJECT
protected:
    std::unique_ptr<testsupport::HermeticEnvironment> env;

    Form1 *startUp()
    {
        auto *splash = new app::Form10();
        splash->Form_Load();
        return Form1::instance();
    }

    void setUpRun()
    {
        env = std::make_unique<testsupport::HermeticEnvironment>();
        testsupport::installRecordingDialogs();
        platform::setTray(platform::makeQtTray());
        platform::testing::setPreviousInstanceRunning(false);
        app::setEndHandler([] {});
    }

    void tearDownRun()
    {
        for (controls::Form *form : controls::Form::loadedForms())
            form->Unload();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        platform::setTray(nullptr);
    }
};

} // namespace

class TrayHostTest : public TrayFixture {
    Q_OBJECT
private slots:
    void init() { setUpRun(); }
    void cleanup() { tearDownRun(); }

    // The host announces itself once it is up; every test below needs it.
    void initTestCase() { QTRY_VERIFY_WITH_TIMEOUT(QSystemTrayIcon::isSystemTrayAvailable(), 30000); }

    void startingInTheTrayShowsOnlyTheIcon()
    {
        settings::Write(settings::TrayIcon, QStringLiteral("1"));
        Form1 *main = startUp();
        QVERIFY(main);
        QVERIFY(!main->isVisible());
        QSystemTrayIcon *icon = embeddedIcon();
        QVERIFY(icon);
        QCOMPARE(icon->toolTip(), QStringLiteral("Lumadex Viewer 3.01  "));
        // The program's picture, not a blank slot of the host's colour.
        QVERIFY2(paintedShare(icon->geometry()) > 0.3, qPrintable(QString::number(paintedShare(icon->geometry()))));
    }

    void aLeftPressOpensTheMenuAndOpenViewerBringsTheWindowBack()
    {
        settings::Write(settings::TrayIcon, QStringLiteral("1"));
        Form1 *main = startUp();
        QSystemTrayIcon *icon = embeddedIcon();
        QVERIFY(icon);
        QMenu *menu = main->traymenu1->menu();
        pressAt(icon->geometry().center(), QStringLiteral("1"));
        QTRY_VERIFY(menu->isVisible());
        QCOMPARE(captions(menu), (QStringList{QStringLiteral("Start SlideShow"), QStringLiteral("Open Viewer")}));
        QAction *openViewer = main->openview->action();
        pressAt(menu->mapToGlobal(menu->actionGeometry(openViewer).center()), QStringLiteral("1"));
        QTRY_VERIFY(main->isVisible());
        QVERIFY(QTest::qWaitForWindowExposed(main));
        QVERIFY(trayIcons().isEmpty());
        QVERIFY(!platform::tray().isIconShown());
    }

    void rightAndDoubleClicksDoNothing()
    {
        settings::Write(settings::TrayIcon, QStringLiteral("1"));
        Form1 *main = startUp();
        QSystemTrayIcon *icon = embeddedIcon();
        QVERIFY(icon);
        QMenu *menu = main->traymenu1->menu();
        QSignalSpy activated(icon, &QSystemTrayIcon::activated);
        pressAt(icon->geometry().center(), QStringLiteral("3"));
        QTRY_COMPARE(activated.size(), 1);
        QCOMPARE(activated.first().first().value<QSystemTrayIcon::ActivationReason>(), QSystemTrayIcon::Context);
        QVERIFY(!menu->isVisible());
        QVERIFY(!main->isVisible());

        // The first press of a double click is a left press and opens the
        // menu, which may take the rest of the click; either way nothing is
        // chosen and the viewer stays in the tray.
        ReleaseCounter releases;
        qApp->installEventFilter(&releases);
        QSignalSpy chosen(menu, &QMenu::triggered);
        pressAt(icon->geometry().center(), QStringLiteral("1"), 2);
        QTRY_COMPARE(releases.count, 2);
        qApp->removeEventFilter(&releases);
        QVERIFY2(chosen.isEmpty(), qPrintable(chosen.isEmpty() ? QString() : chosen.first().first().value<QAction *>()->text()));
        menu->hide();
        QVERIFY(!main->isVisible());
        QCOMPARE(trayIcons().size(), 1);
        QVERIFY(platform::tray().isIconShown());
    }

    void theUserPutsTheViewerInTheTrayAndGetsItBack()
    {
        Form1 *main = startUp();
        QVERIFY(main->isVisible());
        QVERIFY(trayIcons().isEmpty());
        main->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(main));
        // Ctrl+Z, the shortcut of File "Place in SysTray...".
        xdotool({QStringLiteral("key"), QStringLiteral("--window"), QString::number(main->winId()), QStringLiteral("ctrl+z")});
        QTRY_VERIFY(!main->isVisible());
        QSystemTrayIcon *icon = embeddedIcon();
        QVERIFY(icon);
        QVERIFY(paintedShare(icon->geometry()) > 0.3);
        pressAt(icon->geometry().center(), QStringLiteral("1"));
        QMenu *menu = main->traymenu1->menu();
        QTRY_VERIFY(menu->isVisible());
        pressAt(menu->mapToGlobal(menu->actionGeometry(main->openview->action()).center()), QStringLiteral("1"));
        QTRY_VERIFY(main->isVisible());
        QVERIFY(trayIcons().isEmpty());
    }
};

class NoTrayHostTest : public TrayFixture {
    Q_OBJECT
private slots:
    void init() { setUpRun(); }
    void cleanup() { tearDownRun(); }

    void theWindowNeverDisappears()
    {
        QVERIFY(!QSystemTrayIcon::isSystemTrayAvailable());
        settings::Write(settings::TrayIcon, QStringLiteral("1"));
        Form1 *main = startUp();
        QVERIFY(main->isVisible());
        QVERIFY(QTest::qWaitForWindowExposed(main));
        main->systray_Click();
        QVERIFY(main->isVisible());
        main->ok_Click();
        QVERIFY(main->isVisible());
        QVERIFY(trayIcons().isEmpty());
    }
};

LUMADEX_TEST_CLASS(TrayHostTest);
LUMADEX_TEST_CLASS(NoTrayHostTest);
#include "TrayHostTest.moc"
