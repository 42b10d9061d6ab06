#include "platform/Drives.h"
#include "platform/WinPath.h"
#include "tests/support/TestEnvironment.h"
#include "tests/support/TestRunner.h"

#include <QDir>
#include <QTest>

#include <memory>

using platform::CurrentDirectory;
using platform::DriveTable;

class DrivesTest : public QObject {
    Q_OBJECT
    std::unique_ptr<testsupport::HermeticEnvironment> env;
    QString c, d;

private slots:
    void init()
    {
        env = std::make_unique<testsupport::HermeticEnvironment>();
        c = env->driveC();
        d = env->root() + QStringLiteral("/d");
        QDir().mkpath(c + QStringLiteral("/Photos/Summer"));
        QDir().mkpath(d + QStringLiteral("/Scans"));
        env->setDrives(QStringLiteral("C:=%1;d:=%2;E:=%3/missing").arg(c, d, env->root()));
        QDir::setCurrent(c);
        CurrentDirectory::resetFromHost();
    }

    void tableComesFromTheEnvironment()
    {
        const DriveTable table = DriveTable::fromEnvironment();
        QCOMPARE(table.drives().size(), 3);
        QCOMPARE(table.drives().at(1).letter, QLatin1Char('D'));
        QVERIFY(table.isReady(QLatin1Char('c')));
        QVERIFY(table.isReady(QLatin1Char('D')));
        QVERIFY(!table.isReady(QLatin1Char('E'))); // its folder is missing
        QVERIFY(!table.isReady(QLatin1Char('F'))); // not in the table
        QCOMPARE(DriveTable::parse(QStringLiteral("junk;C:=;:=x;Q=/tmp")).drives().size(), 1);
    }

    void windowsPathsMapToHostPathsAndBack()
    {
        const DriveTable table = DriveTable::fromEnvironment();
        QCOMPARE(table.toHostPath(QStringLiteral("C:\\")), c);
        QCOMPARE(table.toHostPath(QStringLiteral("c:\\photos\\SUMMER")), c + QStringLiteral("/Photos/Summer"));
        QCOMPARE(table.toHostPath(QStringLiteral("C:\\Photos\\new.jpg")), c + QStringLiteral("/Photos/new.jpg"));
        // ".." never leaves the drive.
        QCOMPARE(table.toHostPath(QStringLiteral("C:\\..\\..\\etc")), c + QStringLiteral("/etc"));
        QCOMPARE(table.toHostPath(QStringLiteral("Q:\\x")), QString());
        QCOMPARE(table.toWindowsPath(c), QStringLiteral("C:\\"));
        QCOMPARE(table.toWindowsPath(c + QStringLiteral("/Photos/Summer/")), QStringLiteral("C:\\Photos\\Summer"));
        QCOMPARE(table.toWindowsPath(d + QStringLiteral("/Scans")), QStringLiteral("D:\\Scans"));
        QCOMPARE(table.toWindowsPath(QStringLiteral("/somewhere/else")), QString());
    }

    void eachDriveKeepsItsOwnCurrentFolder()
    {
        QCOMPARE(CurrentDirectory::path(), QStringLiteral("C:\\"));
        QVERIFY(CurrentDirectory::chDir(QStringLiteral("c:\\photos")));
        QCOMPARE(CurrentDirectory::path(), QStringLiteral("C:\\Photos"));
        QCOMPARE(QDir::currentPath(), c + QStringLiteral("/Photos"));
        QVERIFY(CurrentDirectory::chDir(QStringLiteral("D:\\Scans")));
        QCOMPARE(CurrentDirectory::drive(), QLatin1Char('C')); // changing D:'s folder keeps C: current
        QVERIFY(CurrentDirectory::chDrive(QLatin1Char('d')));
        QCOMPARE(CurrentDirectory::path(), QStringLiteral("D:\\Scans"));
        QCOMPARE(CurrentDirectory::resolve(QStringLiteral("a.bmp")), QStringLiteral("D:\\Scans\\a.bmp"));
        QCOMPARE(CurrentDirectory::ofDrive(QLatin1Char('C')), QStringLiteral("C:\\Photos"));
        QVERIFY(!CurrentDirectory::chDir(QStringLiteral("C:\\Nowhere")));
        QVERIFY(!CurrentDirectory::chDrive(QLatin1Char('E')));
        QCOMPARE(CurrentDirectory::drive(), QLatin1Char('D'));
    }

    void pathTexts()
    {
        QCOMPARE(winpath::join(QStringLiteral("C:\\"), QStringLiteral("a.bmp")), QStringLiteral("C:\\a.bmp"));
        QCOMPARE(winpath::join(QStringLiteral("C:\\Photos"), QStringLiteral("a.bmp")), QStringLiteral("C:\\Photos\\a.bmp"));
        QCOMPARE(winpath::parent(QStringLiteral("C:\\Photos\\a.bmp")), QStringLiteral("C:\\Photos"));
        QCOMPARE(winpath::parent(QStringLiteral("C:\\Photos")), QStringLiteral("C:\\"));
        QCOMPARE(winpath::parent(QStringLiteral("C:\\")), QString());
        QCOMPARE(winpath::normalized(QStringLiteral("c:/Photos/")), QStringLiteral("C:\\Photos"));
        QCOMPARE(winpath::normalized(QStringLiteral("d:")), QStringLiteral("D:\\"));
        QVERIFY(winpath::isDriveRoot(QStringLiteral("C:\\")));
        QVERIFY(!winpath::isDriveRoot(QStringLiteral("C:\\x")));
        QVERIFY(winpath::same(QStringLiteral("C:\\PHOTOS\\"), QStringLiteral("c:\\photos")));
        QCOMPARE(winpath::fileName(QStringLiteral("C:\\Photos\\a.bmp")), QStringLiteral("a.bmp"));
    }
};

LUMADEX_TEST_CLASS(DrivesTest);
#include "DrivesTest.moc"
