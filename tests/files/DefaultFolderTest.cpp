#include "controls/DirListBox.h"
#include "controls/DriveListBox.h"
#include "controls/Label.h"
#include "controls/MenuItem.h"
#include "files/Form2.h"
#include "tests/files/OpenFromMenu.h"
#include "platform/Registry.h"
#include "settings/Settings.h"
#include "tests/browser/MainWindowFixture.h"
#include "tests/support/TestRunner.h"

#include <QAction>
#include <QPushButton>
#include <QTest>

using platform::MsgStyle::Critical;

class DefaultFolderTest : public QObject {
    Q_OBJECT
    MainWindowFixture f;

    files::Form2 &open() { return openFromMenu<files::Form2>(f.main->defolder); }

    // Whether "AutoJump" is stored at all, which reading it cannot tell.
    static bool autoJumpStored()
    {
        using namespace platform;
        HKEY key = nullptr;
        if (RegOpenKeyA(HKEY_CURRENT_USER, "Software\\Lumadex Viewer", &key) != ERROR_SUCCESS)
            return false;
        DWORD size = 0;
        const bool found = RegQueryValueExA(key, "AutoJump", nullptr, nullptr, nullptr, &size) == ERROR_SUCCESS;
        RegCloseKey(key);
        return found;
    }

private slots:
    void init()
    {
        f.setUp();
        QDir().mkpath(f.c() + QStringLiteral("/Photos/Old"));
    }
    void cleanup() { f.tearDown(); }

    void offShowsDisabledAndOkStoresTheFolderListsPath()
    {
        f.load();
        QVERIFY(!f.main->goto1->Enabled());
        files::Form2 &form = open();
        QCOMPARE(form.Label1->Caption(), QStringLiteral("Current Default Folder :"));
        QVERIFY(form.Label5->isVisibleTo(&form) && !form.Label4->isVisibleTo(&form));
        QCOMPARE(form.Label5->Caption(), QStringLiteral("Disabled"));
        QVERIFY(!form.Command3->isEnabled());
        QCOMPARE(form.Dir1->Path(), QStringLiteral("C:\\Pictures")); // where the main window is

        QVERIFY(form.Dir1->setPath(QStringLiteral("c:\\photos\\old")));
        QTest::mouseClick(form.Command1, Qt::LeftButton);
        QCOMPARE(settings::Read(settings::AutoJump), QStringLiteral("C:\\Photos\\Old")); // as the list spells it
        QVERIFY(!files::Form2::loaded());
        QVERIFY(f.main->goto1->Enabled());
        QCOMPARE(f.main->Dir1->Path(), QStringLiteral("C:\\Pictures")); // OK does not go there
        f.main->goto1->action()->trigger();
        QCOMPARE(f.main->Caption(), QStringLiteral("Lumadex Viewer 3.01  - C:\\Photos\\Old"));
    }

    void cancelKeepsAStoredFolderAndDisabledStoresTheEmptyText()
    {
        settings::Write(settings::AutoJump, QStringLiteral("C:\\Photos"));
        f.load();
        files::Form2 &form = open();
        QVERIFY(form.Label4->isVisibleTo(&form) && !form.Label5->isVisibleTo(&form));
        QCOMPARE(form.Label4->Caption(), QStringLiteral("C:\\Photos"));
        QCOMPARE(form.Dir1->Path(), QStringLiteral("C:\\Photos"));
        QVERIFY(form.Dir1->setPath(QStringLiteral("C:\\Photos\\Old")));
        QTest::mouseClick(form.Command2, Qt::LeftButton);
        QVERIFY(!files::Form2::loaded());
        QCOMPARE(settings::Read(settings::AutoJump), QStringLiteral("C:\\Photos"));
        QVERIFY(f.main->goto1->Enabled());

        files::Form2 &again = open();
        QVERIFY(again.Command3->isEnabled());
        QTest::mouseClick(again.Command3, Qt::LeftButton);
        QVERIFY(autoJumpStored());
        QCOMPARE(settings::Read(settings::AutoJump), QString());
        QVERIFY(!f.main->goto1->Enabled());
        QVERIFY(!files::Form2::loaded());
    }

    void aLostFolderIsReplacedByTheFolderTheListsStartIn()
    {
        settings::Write(settings::AutoJump, QStringLiteral("C:\\Photos\\Old"));
        f.load();
        QCOMPARE(f.main->Dir1->Path(), QStringLiteral("C:\\Photos\\Old"));
        QVERIFY(f.main->Dir1->setPath(QStringLiteral("C:\\Pictures")));
        QDir(f.c() + QStringLiteral("/Photos/Old")).removeRecursively();

        // Going there first: no message, and the main window stays.
        f.main->goto1_Click();
        QVERIFY(f.boxes->shown.isEmpty());
        QCOMPARE(f.main->Dir1->Path(), QStringLiteral("C:\\Pictures"));
        QVERIFY(f.main->goto1->Enabled());

        files::Form2 &form = open();
        QCOMPARE(f.boxes->shown.size(), 1);
        QCOMPARE(f.boxes->shown.first().text, QStringLiteral("Last path not found!"));
        QCOMPARE(f.boxes->shown.first().shownCaption(), QStringLiteral("Lumadex Viewer 3.01"));
        QCOMPARE(form.Label4->Caption(), QStringLiteral("C:\\Pictures"));
        QVERIFY(form.Label4->isVisibleTo(&form));
        QCOMPARE(settings::Read(settings::AutoJump), QStringLiteral("C:\\Pictures"));
    }

    void aFolderOnAnotherDriveThanTheCurrentOneIsShownAsStored()
    {
        const QString d = f.env->root() + QStringLiteral("/home");
        QDir().mkpath(d + QStringLiteral("/Work"));
        f.env->setDrives(QStringLiteral("C:=%1;D:=%2").arg(f.c(), d));
        f.load(); // on drive C:, and D: never visited
        settings::Write(settings::AutoJump, QStringLiteral("D:\\Work"));
        files::Form2 &form = open();
        QCOMPARE(form.Dir1->Path(), QStringLiteral("D:\\Work"));
        QCOMPARE(form.Drive1->Drive(), QStringLiteral("d:"));
        QTest::mouseClick(form.Command1, Qt::LeftButton);
        QCOMPARE(settings::Read(settings::AutoJump), QStringLiteral("D:\\Work"));
    }

    void aDriveThatIsNotReadyIsReportedAndTheDriveListGoesBack()
    {
        f.env->setDrives(QStringLiteral("C:=%1;E:=%2").arg(f.c(), f.env->root() + QStringLiteral("/no-medium")));
        f.load();
        files::Form2 &form = open();
        QVERIFY(form.Drive1->setDrive(QStringLiteral("E:")));
        QCOMPARE(f.boxes->shown.size(), 1);
        QCOMPARE(f.boxes->shown.first().text, QStringLiteral("Device is not accessible or ready"));
        QCOMPARE(f.boxes->shown.first().caption, QStringLiteral("Lumadex Viewer"));
        QCOMPARE(f.boxes->shown.first().icon(), Critical);
        QCOMPARE(form.Drive1->Drive(), QStringLiteral("c:"));
        QCOMPARE(form.Dir1->Path(), QStringLiteral("C:\\Pictures"));
    }
};

LUMADEX_TEST_CLASS(DefaultFolderTest);
#include "DefaultFolderTest.moc"
