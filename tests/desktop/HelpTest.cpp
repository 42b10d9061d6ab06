#include "tests/browser/MainWindowFixture.h"
#include "controls/MenuItem.h"
#include "desktop/Form4.h"
#include "desktop/Help.h"
#include "platform/Folders.h"
#include "platform/ShellExecute.h"
#include "tests/support/RecordingShell.h"
#include "tests/support/TestRunner.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTest>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QUrl>

// Help > Content..., LDX on the Web... and About.
class HelpTest : public QObject {
    Q_OBJECT
    MainWindowFixture f;

    // The guide as the build puts it beside the program.
    static QString builtGuide() { return QStringLiteral(LUMADEX_PROGRAM_BUILD_DIR "/LDX.hlp"); }

    void installGuide()
    {
        QFile::remove(f.env->programDir() + QStringLiteral("/LDX.hlp"));
        QVERIFY(QFile::copy(builtGuide(), f.env->programDir() + QStringLiteral("/LDX.hlp")));
    }

    static QString collapsed(QString text) { return text.replace(QRegularExpression(QStringLiteral("\\s+")), QStringLiteral(" ")); }

private slots:
    void init()
    {
        f.setUp();
        // The program folder is D:\program as the viewer names it.
        f.env->setDrives(QStringLiteral("C:=%1;D:=%2").arg(f.c(), f.env->root()));
        platform::setOpener(QStringLiteral(".hlp"), desktop::openHelpDocument);
    }
    void cleanup()
    {
        platform::setOpener(QStringLiteral(".hlp"), {});
        platform::setShell(platform::makeDesktopShell());
        f.tearDown();
    }

    // "Content..." opens the help file, "LDX on the Web..." the guide as a
    // web page; both through the shell, by the files' host paths, "Content..."
    // in the program folder as the viewer names it (none when no drive
    // reaches it).
    void theHelpItemsAskTheShell_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<bool>("programOnADrive");
        QTest::addColumn<QString>("operation");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("directory");
        QTest::newRow("Content...") << "readme" << true << "Open" << "LDX.hlp" << "D:\\program";
        QTest::newRow("LDX on the Web...") << "ontheweb" << true << "" << "LDX.html" << "C:\\";
        QTest::newRow("Content..., no drive") << "readme" << false << "Open" << "LDX.hlp" << "";
        QTest::newRow("LDX on the Web..., no drive") << "ontheweb" << false << "" << "LDX.html" << "C:\\";
    }
    void theHelpItemsAskTheShell()
    {
        QFETCH(QString, item);
        QFETCH(bool, programOnADrive);
        QFETCH(QString, operation);
        QFETCH(QString, file);
        QFETCH(QString, directory);
        if (!programOnADrive)
            f.env->setDrives(QStringLiteral("C:=") + f.c());
        testsupport::RecordingShell &shell = testsupport::installRecordingShell();
        app::Form1 *main = f.load();
        main->findChild<controls::MenuItem *>(item)->action()->trigger();
        QCOMPARE(shell.requests.size(), 1);
        const auto &asked = shell.requests.first();
        QCOMPARE(asked.operation, operation);
        QCOMPARE(QUrl(asked.file).toLocalFile(), f.env->programDir() + QLatin1Char('/') + file);
        QCOMPARE(asked.parameters, QString());
        QCOMPARE(asked.directory, directory);
        QCOMPARE(asked.showCmd, platform::SW_SHOWNORMAL);
    }

    // The program folder on no drive of the table (the guide then has no
    // Windows name): "Content..." still shows the guide beside the program,
    // never a file of the same name at the root of the current drive.
    void contentFindsTheGuideOnNoDrive()
    {
        installGuide();
        f.env->setDrives(QStringLiteral("C:=") + f.c());
        QVERIFY(testsupport::writeFile(f.c() + QStringLiteral("/LDX.hlp"),
                                       "<html><head><title>Planted</title></head><body>planted</body></html>"));
        app::Form1 *main = f.load();
        main->readme_Click();
        desktop::HelpWindow *help = desktop::HelpWindow::loaded();
        QVERIFY(help);
        QCOMPARE(help->Caption(), QStringLiteral("Lumadex Viewer 3.01 - User's Guide"));
    }

    // An installed program keeps its guide in <prefix>/share/lumadex-viewer;
    // a build folder or a copy in one folder keeps it beside the executable.
    // The bookmarks of an installed program go to the data folder even where
    // its folder is writable, as /usr/bin is to root.
    void theGuideLiesWhereTheProgramIsInstalled()
    {
        QTemporaryDir root;
        const QString bin = root.path() + QStringLiteral("/usr/bin");
        QVERIFY(QDir().mkpath(bin));
        QCOMPARE(platform::programFilesFolderOf(bin), bin);
        QCOMPARE(platform::programFolderOf(bin), bin);
        QVERIFY(QDir().mkpath(root.path() + QStringLiteral("/usr/share/lumadex-viewer")));
        QCOMPARE(platform::programFilesFolderOf(bin), root.path() + QStringLiteral("/usr/share/lumadex-viewer"));
        QCOMPARE(platform::programFolderOf(bin), platform::dataFolder());
    }

    // Through the desktop shell the ".hlp" opens in the viewer's own help
    // window, once however often it is asked for.
    void contentShowsTheGuideInTheHelpWindow()
    {
        installGuide();
        app::Form1 *main = f.load();
        main->readme_Click();
        desktop::HelpWindow *help = desktop::HelpWindow::loaded();
        QVERIFY(help);
        QVERIFY(help->isVisible());
        QCOMPARE(help->Caption(), QStringLiteral("Lumadex Viewer 3.01 - User's Guide"));
        QVERIFY(help->Browser->toPlainText().contains(QStringLiteral("Display modes")));
        main->readme_Click();
        QCOMPARE(desktop::HelpWindow::loaded(), help);
        QVERIFY(f.boxes->shown.isEmpty());
    }

    void contentWithoutAHelpFileDoesNothing()
    {
        QFile::remove(f.env->programDir() + QStringLiteral("/LDX.hlp"));
        app::Form1 *main = f.load();
        main->readme_Click();
        QVERIFY(!desktop::HelpWindow::loaded());
        QVERIFY(f.boxes->shown.isEmpty());
        QCOMPARE(controls::Form::loadedForms(), QList<controls::Form *>{main});
    }

    // The guide tells the user about every command the menus offer.
    void theGuideNamesEveryMenuCommand()
    {
        QFile file(builtGuide());
        QVERIFY2(file.open(QIODevice::ReadOnly), "LDX.hlp is not beside the program in the build folder");
        QTextBrowser reader;
        reader.setHtml(QString::fromUtf8(file.readAll()));
        const QString guide = collapsed(reader.toPlainText());
        app::Form1 *main = f.load();
        QStringList missing;
        for (const controls::MenuItem *item : main->findChildren<controls::MenuItem *>()) {
            // The pop-up menus' own names are never shown, nor is the item hidden for good.
            const bool unseen = item == main->picact || item == main->systray1 || item == main->traymenu1
                                || item == main->efm2;
            if (item->isSeparator() || unseen)
                continue;
            const QString caption = collapsed(item->Caption().remove(QLatin1Char('&')).trimmed());
            if (!guide.contains(caption))
                missing << caption;
        }
        QVERIFY2(missing.isEmpty(), qPrintable(missing.join(QStringLiteral(" | "))));
        // The same guide is the web page.
        QFile page(QStringLiteral(LUMADEX_PROGRAM_BUILD_DIR "/LDX.html"));
        QVERIFY(page.open(QIODevice::ReadOnly));
        file.seek(0);
        QCOMPARE(page.readAll(), file.readAll());
    }

    // Modeless and without an owner; a second use brings the same window
    // forward; after its close box the next use starts afresh.
    void aboutTwiceShowsOneWindow()
    {
        app::Form1 *main = f.load();
        main->About1->action()->trigger();
        desktop::Form4 *about = desktop::Form4::loaded();
        QVERIFY(about && about->isVisible() && !about->parentWidget() && !about->isModal());
        QCOMPARE(about->Caption(), QStringLiteral("Quill's Personal Viewer"));
        main->About1_Click();
        QCOMPARE(desktop::Form4::loaded(), about);
        QCOMPARE(controls::Form::loadedForms().size(), 2);
        about->close();
        QVERIFY(!desktop::Form4::loaded());
        main->About1_Click();
        QVERIFY(desktop::Form4::loaded() && desktop::Form4::loaded() != about);
    }
};

LUMADEX_TEST_CLASS(HelpTest);
#include "HelpTest.moc"
