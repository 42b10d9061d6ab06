#include "controls/DirListBox.h"
#include "controls/DriveListBox.h"
#include "controls/MenuItem.h"
#include "files/Form12.h"
#include "tests/files/OpenFromMenu.h"
#include "tests/browser/MainWindowFixture.h"
#include "tests/support/RecordingShell.h"
#include "tests/support/TestRunner.h"

#include <QAction>
#include <QPushButton>
#include <QTest>

class PictureFoldersTest : public QObject {
    Q_OBJECT
    MainWindowFixture f;

    files::Form12 &open() { return openFromMenu<files::Form12>(f.main->go1); }

    QStringList treeOnDisk() const
    {
        QDir root(f.c() + QStringLiteral("/PicFolder"));
        return root.exists() ? root.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name) : QStringList{"<none>"};
    }

private slots:
    void init() { f.setUp(); }
    void cleanup() { f.tearDown(); }

    void theButtonCreatesWhatIsMissingAndOpensTheTree()
    {
        QDir().mkpath(f.c() + QStringLiteral("/PicFolder/Personal"));
        QVERIFY(testsupport::writeFile(f.c() + QStringLiteral("/PicFolder/Personal/keep.bmp"), "x"));
        QVERIFY(testsupport::writeFile(f.c() + QStringLiteral("/PicFolder/HomePage"), "a file in the way"));
        f.load();
        files::Form12 &form = open();
        QCOMPARE(form.Caption(), QStringLiteral("Creat/View PicFolder"));
        QTest::mouseClick(form.Command1, Qt::LeftButton);
        QVERIFY(!files::Form12::loaded());
        QCOMPARE(treeOnDisk(), (QStringList{"For Work", "Future Use", "Personal", "Temp"}));
        QVERIFY(QFileInfo::exists(f.c() + QStringLiteral("/PicFolder/Personal/keep.bmp")));
        QCOMPARE(f.main->Dir1->Path(), QStringLiteral("C:\\PicFolder"));
        QCOMPARE(f.main->Drive1->Drive(), QStringLiteral("c:"));
        QVERIFY(f.boxes->shown.isEmpty());

        // A second press only goes there.
        QVERIFY(f.main->Dir1->setPath(QStringLiteral("C:\\Pictures")));
        QTest::mouseClick(open().Command1, Qt::LeftButton);
        QCOMPARE(f.main->Dir1->Path(), QStringLiteral("C:\\PicFolder"));
    }

    void withoutAUsableDriveCTheWindowClosesSilently_data()
    {
        QTest::addColumn<bool>("notReady");
        QTest::newRow("no drive C:") << false;
        QTest::newRow("drive C: not ready") << true;
    }

    void withoutAUsableDriveCTheWindowClosesSilently()
    {
        QFETCH(bool, notReady);
        const QString d = f.env->root() + QStringLiteral("/home");
        QDir().mkpath(d + QStringLiteral("/Pics"));
        const QString c = notReady ? QStringLiteral("C:=%1/gone;").arg(f.env->root()) : QString();
        f.env->setDrives(c + QStringLiteral("D:=") + d);
        QDir::setCurrent(d + QStringLiteral("/Pics"));
        f.load();
        QTest::mouseClick(open().Command1, Qt::LeftButton);
        QVERIFY(!files::Form12::loaded());
        QVERIFY(f.boxes->shown.isEmpty());
        QCOMPARE(f.main->Dir1->Path(), QStringLiteral("D:\\Pics"));
        QVERIFY(!QFileInfo::exists(f.env->root() + QStringLiteral("/gone")));
    }

    void openFolderHandsTheCurrentFolderToTheShell()
    {
        testsupport::RecordingShell &shell = testsupport::installRecordingShell();
        f.env->setDrives(QStringLiteral("C:=%1;P:=%2").arg(f.c(), f.env->programDir()));
        f.load();
        QVERIFY(f.main->Dir1->setPath(QStringLiteral("C:\\")));
        f.main->LoadF->action()->trigger();
        QCOMPARE(shell.requests.size(), 1);
        QCOMPARE(shell.requests.first().operation, QStringLiteral("Open"));
        QCOMPARE(shell.requests.first().file, QStringLiteral("C:\\"));
        QCOMPARE(shell.requests.first().parameters, QString());
        QCOMPARE(shell.requests.first().directory, QStringLiteral("P:\\"));
        QCOMPARE(shell.requests.first().showCmd, 1);
        platform::setShell(platform::makeDesktopShell());
    }
};

LUMADEX_TEST_CLASS(PictureFoldersTest);
#include "PictureFoldersTest.moc"
