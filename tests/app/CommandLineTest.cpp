#include "FakeTray.h"
#include "app/CommandLine.h"
#include "controls/ComboBox.h"
#include "controls/DirListBox.h"
#include "controls/FileListBox.h"
#include "controls/Label.h"
#include "platform/HostPath.h"
#include "tests/browser/MainWindowFixture.h"
#include "tests/support/TestRunner.h"

#include <QTest>

namespace {

const QString Prefix = QStringLiteral("Lumadex Viewer 3.01  - ");
const QString CannotShow =
    QStringLiteral("This File Type is not supported yet in this version or the file is corrupted or not accessible!");

} // namespace

// A picture or folder named on the command line, by the start itself or
// handed over by a later start.
class CommandLineTest : public QObject {
    Q_OBJECT
    MainWindowFixture f;

    // The main window in C:\Pictures, which holds one picture, next to
    // C:\Trip with two and an empty C:\Empty.
    app::Form1 *load()
    {
        f.picture(QStringLiteral("Pictures/here.bmp"), QSize(4, 3));
        f.picture(QStringLiteral("Trip/a.bmp"), QSize(5, 4));
        f.picture(QStringLiteral("Trip/b.bmp"), QSize(6, 5));
        QDir().mkpath(f.c() + QStringLiteral("/Empty"));
        return f.load();
    }

private slots:
    void init() { f.setUp(); }
    void cleanup() { f.tearDown(); }

    void theStartPathIsTheFirstArgument_data()
    {
        QTest::addColumn<QList<QByteArray>>("arguments");
        QTest::addColumn<QByteArray>("path"); // empty: none
        QTest::newRow("none") << QList<QByteArray>{} << QByteArray();
        QTest::newRow("absolute") << QList<QByteArray>{"/srv/p/a.jpg"} << QByteArray("/srv/p/a.jpg");
        QTest::newRow("relative") << QList<QByteArray>{"a.jpg"} << QByteArray("/home/u/a.jpg");
        QTest::newRow("dots") << QList<QByteArray>{"../v/./b.jpg"} << QByteArray("/home/v/b.jpg");
        QTest::newRow("a folder with a slash") << QList<QByteArray>{"/srv/p/"} << QByteArray("/srv/p");
        QTest::newRow("bytes that are not UTF-8") << QList<QByteArray>{"/srv/caf\xe9.jpg"} << QByteArray("/srv/caf\xe9.jpg");
        QTest::newRow("more than one") << QList<QByteArray>{"/a.jpg", "/b.jpg"} << QByteArray("/a.jpg");
    }
    void theStartPathIsTheFirstArgument()
    {
        QFETCH(QList<QByteArray>, arguments);
        QFETCH(QByteArray, path);
        const std::optional<QString> got = app::startPath(arguments, QStringLiteral("/home/u"));
        QCOMPARE(got.has_value(), !path.isEmpty());
        if (got)
            QCOMPARE(platform::hostPathBytes(*got), path);
    }

    // The folder opens and the picture is selected and shown, as clicks on
    // the folder and the file would.
    void aHandedPathIsShown_data()
    {
        QTest::addColumn<QString>("path"); // under drive C:
        QTest::addColumn<QString>("title");
        QTest::addColumn<int>("index");
        QTest::newRow("a picture") << "Trip/b.bmp" << "C:\\Trip\\b.bmp (2/2)" << 1;
        QTest::newRow("a folder: its first picture") << "Trip" << "C:\\Trip\\a.bmp (1/2)" << 0;
        QTest::newRow("a folder with a trailing slash") << "Trip/" << "C:\\Trip\\a.bmp (1/2)" << 0;
        QTest::newRow("a folder with no picture") << "Empty" << "C:\\Empty" << -1;
        QTest::newRow("a picture of the open folder") << "Pictures/here.bmp" << "C:\\Pictures\\here.bmp (1/2)" << 0;
    }
    void aHandedPathIsShown()
    {
        QFETCH(QString, path);
        QFETCH(QString, title);
        QFETCH(int, index);
        app::Form1 *main = load();
        // Saved after the folder was listed: read again, it comes second.
        f.picture(QStringLiteral("Pictures/later.bmp"), QSize(2, 2));
        main->ShowHandedPath(f.c() + QLatin1Char('/') + path);
        QCOMPARE(main->Caption(), Prefix + title);
        QCOMPARE(main->File1->ListIndex(), index);
        QCOMPARE(main->Label3->Caption(), index < 0 ? QString() : title.section(QLatin1Char(' '), 0, 0));
        QVERIFY(f.boxes->shown.isEmpty());
    }

    // A filter that leaves the picture out gives way to every readable format.
    void aPictureTheFilterLeavesOutIsShown()
    {
        app::Form1 *main = load();
        main->Combo1->setText(QStringLiteral("*.gif"));
        main->ShowHandedPath(f.c() + QStringLiteral("/Trip/b.bmp"));
        QCOMPARE(main->Combo1->Text(), QStringLiteral("All Readable Format"));
        QCOMPARE(main->Caption(), Prefix + QStringLiteral("C:\\Trip\\b.bmp (2/2)"));
        QVERIFY(f.boxes->shown.isEmpty());
    }

    // What cannot be shown gets the picture-loading message once.
    void aPathThatCannotBeShownGetsTheMessage_data()
    {
        QTest::addColumn<QString>("path"); // under the test's root
        QTest::newRow("no such file") << "c/Trip/gone.bmp";
        QTest::newRow("no such folder") << "c/Gone";
        QTest::newRow("on no drive") << "elsewhere.bmp";
        QTest::newRow("no picture type") << "c/Trip/notes.txt";
        QTest::newRow("a damaged picture") << "c/Trip/damaged.bmp";
    }
    void aPathThatCannotBeShownGetsTheMessage()
    {
        QFETCH(QString, path);
        app::Form1 *main = load();
        f.picture(QStringLiteral("../elsewhere.bmp"), QSize(2, 2));
        QVERIFY(testsupport::writeFile(f.c() + QStringLiteral("/Trip/notes.txt"), "notes"));
        QVERIFY(testsupport::writeFile(f.c() + QStringLiteral("/Trip/damaged.bmp"), "BM not a bitmap"));
        main->ShowHandedPath(f.env->root() + QLatin1Char('/') + path);
        QCOMPARE(f.boxes->shown.size(), 1);
        QCOMPARE(f.boxes->shown.first().text, CannotShow);
        QCOMPARE(f.boxes->shown.first().caption, QStringLiteral("Lumadex Viewer"));
    }

    // While a show or a dialog holds the browser the path waits; it opens
    // once the browser is free, after the handler that freed it.
    void aPathWaitsForTheBrowser_data()
    {
        QTest::addColumn<bool>("windowModeShow"); // otherwise a dialog that disables the window
        QTest::newRow("window-mode show") << true;
        QTest::newRow("dialog") << false;
    }
    void aPathWaitsForTheBrowser()
    {
        QFETCH(bool, windowModeShow);
        app::Form1 *main = load();
        if (windowModeShow)
            main->viewmenu_Click();
        else
            main->setEnabled(false);
        main->ShowHandedPath(f.c() + QStringLiteral("/Trip/b.bmp"));
        QCOMPARE(main->Dir1->Path(), QStringLiteral("C:\\Pictures"));
        if (windowModeShow)
            main->stop1_Click();
        else
            main->setEnabled(true);
        QTRY_COMPARE(main->Label3->Caption(), QStringLiteral("C:\\Trip\\b.bmp"));
        QCOMPARE(main->Caption(), Prefix + QStringLiteral("C:\\Trip\\b.bmp (2/2)"));
    }

    // A viewer in the tray comes back to show the path.
    void aViewerInTheTrayComesBack()
    {
        auto fake = std::make_unique<FakeTray>();
        FakeTray *tray = fake.get();
        platform::setTray(std::move(fake));
        app::Form1 *main = load();
        main->systray_Click();
        QVERIFY(!main->isVisible() && tray->shown);
        main->ShowHandedPath(f.c() + QStringLiteral("/Trip/a.bmp"));
        QVERIFY(main->isVisible());
        QVERIFY(!tray->shown);
        QCOMPARE(main->Label3->Caption(), QStringLiteral("C:\\Trip\\a.bmp"));
        platform::setTray(platform::makeQtTray());
    }
};

LUMADEX_TEST_CLASS(CommandLineTest);
#include "CommandLineTest.moc"
