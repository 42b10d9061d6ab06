#include "platform/Drives.h"
#include "platform/HostPath.h"
#include "platform/WinPath.h"
#include "tests/support/TestEnvironment.h"
#include "tests/support/TestRunner.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>
#include <QUrl>

#include <memory>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

    // Every name a Linux folder can hold comes back exactly from its Windows
    // name, and no Windows name holds a separator.
    void hostNamesSurviveTheirWindowsNames_data()
    {
        QTest::addColumn<QByteArray>("host");
        QTest::addColumn<QString>("windows");
        QTest::newRow("plain") << QByteArray("beach.jpg") << QStringLiteral("beach.jpg");
        QTest::newRow("utf-8") << QByteArray("Fotos \xc3\x9c \xf0\x9f\x8c\x8a.jpg") << QStringLiteral("Fotos Ü \U0001F30A.jpg");
        QTest::newRow("backslash") << QByteArray("a\\b.jpg") << QStringLiteral("a\uF05Cb.jpg");
        QTest::newRow("forbidden-ascii") << QByteArray("12:30 \"x\" <?*|>\x01.jpg")
                                         << QStringLiteral("12\uF03A30 \uF022x\uF022 \uF03C\uF03F\uF02A\uF07C\uF03E\uF001.jpg");
        QTest::newRow("latin-1") << QByteArray("caf\xe9.jpg") << QStringLiteral("caf\uF0E9.jpg");
        QTest::newRow("cut-sequence") << QByteArray("\xe2\x82.jpg") << QStringLiteral("\uF0E2\uF082.jpg");
        QTest::newRow("overlong") << QByteArray("\xc0\xaf") << QStringLiteral("\uF0C0\uF0AF");
        QTest::newRow("encoded-surrogate") << QByteArray("\xed\xa0\x80") << QStringLiteral("\uF0ED\uF0A0\uF080");
        // A name that already holds one of the private characters keeps it
        // apart from the characters they stand for.
        QTest::newRow("private-use") << QByteArray("\xef\x81\x9c") << QStringLiteral("\uF0EF\uF081\uF09C");
        QTest::newRow("escape-lookalike") << QByteArray("\xed\xb3\xa9") << QStringLiteral("\uF0ED\uF0B3\uF0A9");
    }
    void hostNamesSurviveTheirWindowsNames()
    {
        QFETCH(QByteArray, host);
        QFETCH(QString, windows);
        const QString hostText = platform::hostPathFromBytes(host);
        QCOMPARE(platform::hostPathBytes(hostText), host);
        const QString windowsName = platform::windowsNameFromHost(hostText);
        QCOMPARE(windowsName, windows);
        QCOMPARE(platform::hostPathBytes(platform::hostNameFromWindows(windowsName)), host);
    }

    void aFolderOfOddNamesIsReachedThroughItsWindowsPaths()
    {
        const QList<QByteArray> names{"a\\b.jpg", "caf\xe9.jpg", "\xff\xfe", "Stra\xdf" "e"};
        for (const QByteArray &name : names) {
            const QByteArray path = QFile::encodeName(c) + "/Photos/" + name;
            const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL, 0644);
            QVERIFY2(fd >= 0, name.constData());
            QCOMPARE(::write(fd, name.constData(), size_t(name.size())), ssize_t(name.size()));
            ::close(fd);
        }
        const DriveTable table = DriveTable::fromEnvironment();
        for (const QByteArray &name : names) {
            const QString host = c + QStringLiteral("/Photos/") + platform::hostPathFromBytes(name);
            const QString windows = table.toWindowsPath(host);
            QVERIFY(windows.startsWith(QStringLiteral("C:\\Photos\\")));
            QCOMPARE(winpath::fileName(windows).count(QLatin1Char('\\')), 0);
            QCOMPARE(table.toHostPath(windows), host);
            // Found without regard to case too, as every other name is.
            QCOMPARE(table.toHostPath(windows.toUpper()), host);
            QFile file;
            QVERIFY(platform::openHostFile(file, table.toHostPath(windows), QIODevice::ReadOnly));
            QCOMPARE(file.readAll(), name);
            QCOMPARE(platform::hostFileStatus(host)->size, name.size());
        }
        // Written through its bytes too; NewOnly refuses a file that exists.
        const QString written = c + QStringLiteral("/Photos/") + platform::hostPathFromBytes("neu \xfc.jpg");
        QFile out;
        QVERIFY(platform::openHostFile(out, written, QIODevice::WriteOnly | QIODevice::NewOnly));
        QCOMPARE(out.write("abc"), 3);
        out.close();
        QFile again;
        QVERIFY(!platform::openHostFile(again, written, QIODevice::WriteOnly | QIODevice::NewOnly));
        QCOMPARE(platform::hostFileStatus(written)->size, 3);
        // A folder whose name is not UTF-8 becomes the current folder.
        QVERIFY(::mkdir((QFile::encodeName(c) + "/Photos/Ordner \xe4").constData(), 0755) == 0);
        QVERIFY(CurrentDirectory::chDir(QStringLiteral("C:\\Photos\\Ordner \uF0E4")));
        QCOMPARE(CurrentDirectory::path(), QStringLiteral("C:\\Photos\\Ordner \uF0E4"));
        QCOMPARE(platform::hostCurrentPath(), c + QStringLiteral("/Photos/Ordner ") + QChar(0xDCE4));

        // Made, resolved, linked and handed to other programs through its bytes.
        const QString folder = c + QStringLiteral("/Photos/") + platform::hostPathFromBytes("f\xfcr");
        QVERIFY(platform::makeHostFolder(folder));
        QVERIFY(!platform::makeHostFolder(folder + QStringLiteral("/a/b")));
        QVERIFY(platform::hostIsDir(folder));
        const QString link = folder + QStringLiteral("/") + platform::hostPathFromBytes("l\xe9");
        QVERIFY(::symlink("nowhere", platform::hostPathBytes(link).constData()) == 0);
        QVERIFY(platform::hostPathTaken(link) && platform::hostIsSymLink(link) && !platform::hostFileStatus(link));
        QVERIFY(!platform::hostIsSymLink(folder));
        QCOMPARE(platform::hostCanonicalPath(folder + QStringLiteral("/../") + platform::hostPathFromBytes("f\xfcr")),
                 QFileInfo(c).canonicalFilePath() + QStringLiteral("/Photos/") + platform::hostPathFromBytes("f\xfcr"));
        QCOMPARE(platform::hostFileUrl(link).toEncoded(),
                 QUrl::fromLocalFile(QFileInfo(c).absoluteFilePath()).toEncoded() + "/Photos/f%FCr/l%E9");
        QCOMPARE(platform::hostFileUrl(QStringLiteral("/a b/#1.jpg")).toEncoded(), QByteArray("file:///a%20b/%231.jpg"));
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

    void namesWindowsTakes_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("allowed");
        for (const char *refused : {"a?b.jpg", "a*b.jpg", "a<b.jpg", "a>b.jpg", "a|b.jpg", "a\"b.jpg", "a:b.jpg",
                                    "a/b.jpg", "a\\b.jpg", "a\tb.jpg", "abc.jpg.", "abc.jpg ", "..", "CON", "con.jpg",
                                    "Nul.tar.gz", "aux .jpg", "PRN", "com1.bmp", "LPT9", "lpt\u00B9.jpg", ""})
            QTest::newRow(refused) << QString::fromUtf8(refused) << false;
        for (const char *taken : {"abc.bmp", "Abc.BMP", ".hidden.jpg", " leading blank.jpg", "a b.c d.jpg", "icon.jpg",
                                  "console.jpg", "con-1.jpg", "COM10.jpg", "LPT0.jpg", "nul_.jpg", "caf\u00E9.jpg",
                                  "a\uF03Fb.jpg", "\u65E5\u672C.jpg"})
            QTest::newRow(taken) << QString::fromUtf8(taken) << true;
    }

    void namesWindowsTakes()
    {
        QFETCH(QString, name);
        QFETCH(bool, allowed);
        QCOMPARE(winpath::isAllowedFileName(name), allowed);
    }
};

LUMADEX_TEST_CLASS(DrivesTest);
#include "DrivesTest.moc"
