#include "platform/Registry.h"
#include "platform/RegistryTesting.h"
#include "settings/Settings.h"
#include "tests/support/TestEnvironment.h"
#include "tests/support/TestRunner.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <memory>
#include <sys/stat.h>
#include <unistd.h>

using namespace platform;

namespace {

// Stores raw bytes under the product key with the given type.
void storeRaw(const char *name, DWORD type, const QByteArray &bytes)
{
    HKEY key = nullptr;
    QCOMPARE(RegCreateKeyA(HKEY_CURRENT_USER, "Software\\Lumadex Viewer", &key), ERROR_SUCCESS);
    QCOMPARE(RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE *>(bytes.constData()),
                            DWORD(bytes.size())),
             ERROR_SUCCESS);
    QCOMPARE(RegCloseKey(key), ERROR_SUCCESS);
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The file's identity: a write replaces the file, so it gets a new one.
ino_t inodeOf(const QString &path)
{
    struct stat st{};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_ino : 0;
}

QStringList movedAside(const QString &hive)
{
    const QFileInfo info(hive);
    return QDir(info.absolutePath()).entryList({info.fileName() + QStringLiteral(".unreadable-*")}, QDir::Files);
}

} // namespace

class RegistryTest : public QObject {
    Q_OBJECT
    std::unique_ptr<testsupport::HermeticEnvironment> env;

private slots:
    void init()
    {
        env = std::make_unique<testsupport::HermeticEnvironment>();
        testing::setHiveWriteFault(-1);
    }
    void cleanup()
    {
        testing::setHiveWriteFault(-1);
        QCOMPARE(testing::openKeyCount(), 0);
    }

    void missingKeyReadsEmptyAndFirstWriteCreatesIt()
    {
        QVERIFY(!QFile::exists(env->hiveFile()));
        for (const QString &name : {settings::TrayIcon, settings::Speed, settings::AutoJump})
            QCOMPARE(settings::Read(name), QString());
        HKEY key = nullptr;
        QCOMPARE(RegOpenKeyA(HKEY_CURRENT_USER, "Software\\Lumadex Viewer", &key), ERROR_FILE_NOT_FOUND);

        settings::Write(settings::Speed, QStringLiteral("2500"));
        QCOMPARE(RegOpenKeyA(HKEY_CURRENT_USER, "software\\LUMADEX VIEWER", &key), ERROR_SUCCESS);
        RegCloseKey(key);
        QCOMPARE(settings::Read(QStringLiteral("speed")), QStringLiteral("2500"));
        QCOMPARE(settings::Read(settings::Loop), QString());
    }

    void stringDataIsReadUpToItsFirstNul_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QString>("expected");
        QTest::newRow("terminated") << int(REG_SZ) << QByteArray("abc", 4) << QStringLiteral("abc");
        QTest::newRow("no-terminating-nul") << int(REG_SZ) << QByteArray("abc", 3) << QStringLiteral("abc");
        QTest::newRow("nul-inside") << int(REG_SZ) << QByteArray("ab\0cd", 6) << QStringLiteral("ab");
        QTest::newRow("empty-data") << int(REG_SZ) << QByteArray() << QString();
        QTest::newRow("non-ascii") << int(REG_SZ) << QByteArray("Fotos \xc3\x9c", 9) << QStringLiteral("Fotos Ü");
        QTest::newRow("dword-is-not-text") << int(REG_DWORD) << QByteArray("\x01\0\0\0", 4) << QString();
        QTest::newRow("expand-sz-is-not-text") << int(REG_EXPAND_SZ) << QByteArray("abc", 4) << QString();
        QTest::newRow("binary-is-not-text") << int(REG_BINARY) << QByteArray("abc", 3) << QString();
    }
    void stringDataIsReadUpToItsFirstNul()
    {
        QFETCH(int, type);
        QFETCH(QByteArray, data);
        QFETCH(QString, expected);
        storeRaw("Value", DWORD(type), data);
        QCOMPARE(settings::Read(QStringLiteral("Value")), expected);
    }

    void writtenDataComesBackExactlyThroughTheFile()
    {
        // Odd string data must survive the text file unchanged, byte for byte.
        const QByteArray noNul("abc", 3);
        const QByteArray innerNul("ab\0cd\0", 6);
        const QByteArray binary("\x00\xff\x10\x80", 4);
        storeRaw("NoNul", REG_SZ, noNul);
        storeRaw("InnerNul", REG_SZ, innerNul);
        storeRaw("Binary", REG_BINARY, binary);
        storeRaw("Quote", REG_SZ, QByteArray("say \"hi\" \\ back", 16));
        HKEY key = nullptr;
        QCOMPARE(RegOpenKeyA(HKEY_CURRENT_USER, "Software\\Lumadex Viewer", &key), ERROR_SUCCESS);
        for (const auto &[name, expected] : {std::pair{"NoNul", noNul}, std::pair{"InnerNul", innerNul},
                                             std::pair{"Binary", binary},
                                             std::pair{"Quote", QByteArray("say \"hi\" \\ back", 16)}}) {
            char buffer[64] = {};
            DWORD size = sizeof buffer;
            DWORD type = 0;
            QCOMPARE(RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE *>(buffer), &size), ERROR_SUCCESS);
            QCOMPARE(QByteArray(buffer, int(size)), expected);
        }
        RegCloseKey(key);
    }

    void queryFollowsTheApiRules()
    {
        settings::Write(settings::Action, QStringLiteral("Move"));
        HKEY key = nullptr;
        QCOMPARE(RegOpenKeyA(HKEY_CURRENT_USER, "Software\\Lumadex Viewer", &key), ERROR_SUCCESS);
        DWORD type = 0;
        DWORD size = 0;
        QCOMPARE(RegQueryValueExA(key, "Action", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
        QCOMPARE(type, REG_SZ);
        QCOMPARE(size, DWORD(5)); // "Move" and its NUL
        BYTE small[2];
        DWORD smallSize = sizeof small;
        QCOMPARE(RegQueryValueExA(key, "Action", nullptr, &type, small, &smallSize), ERROR_MORE_DATA);
        QCOMPARE(smallSize, DWORD(5));
        QCOMPARE(RegQueryValueExA(key, "Missing", nullptr, &type, nullptr, &size), ERROR_FILE_NOT_FOUND);
        QCOMPARE(RegQueryValueExA(key, "Action", nullptr, &type, small, nullptr), ERROR_INVALID_PARAMETER);
        QCOMPARE(RegCloseKey(key), ERROR_SUCCESS);
        QCOMPARE(RegCloseKey(key), ERROR_INVALID_HANDLE);
        QCOMPARE(RegQueryValueExA(key, "Action", nullptr, &type, nullptr, &size), ERROR_INVALID_HANDLE);
        QCOMPARE(RegQueryValueExA(nullptr, "Action", nullptr, &type, nullptr, &size), ERROR_INVALID_HANDLE);
    }

    void writingTheEmptyTextReadsAsEmpty()
    {
        settings::Write(settings::TrayIcon, QStringLiteral("1"));
        settings::Write(settings::TrayIcon, QString());
        QCOMPARE(settings::Read(settings::TrayIcon), QString());
    }

    void theFileIsWhatTheRegistryEditorImports()
    {
        settings::Write(settings::Speed, QStringLiteral("1000"));
        const QByteArray file = readFile(env->hiveFile());
        QVERIFY(file.startsWith("\xFF\xFE"));
        const QString text = QString::fromUtf16(reinterpret_cast<const char16_t *>(file.constData() + 2),
                                                (file.size() - 2) / 2);
        QVERIFY(text.startsWith(QStringLiteral("Windows Registry Editor Version 5.00\r\n")));
        QVERIFY(text.contains(QStringLiteral("[HKEY_CURRENT_USER\\Software\\Lumadex Viewer]\r\n\"Speed\"=\"1000\"\r\n")));
    }

    void aWriteThatFailsPartWayLeavesThePreviousFileWhole()
    {
        settings::Write(settings::Speed, QStringLiteral("1000"));
        const QByteArray before = readFile(env->hiveFile());
        QVERIFY(!before.isEmpty());

        testing::setHiveWriteFault(20);
        HKEY key = nullptr;
        QCOMPARE(RegCreateKeyA(HKEY_CURRENT_USER, "Software\\Lumadex Viewer", &key), ERROR_SUCCESS);
        const QByteArray data("2500", 5);
        QCOMPARE(RegSetValueExA(key, "Speed", 0, REG_SZ, reinterpret_cast<const BYTE *>(data.constData()), 5),
                 ERROR_CANTWRITE);
        RegCloseKey(key);
        settings::Write(settings::Loop, QStringLiteral("1")); // silently lost
        testing::setHiveWriteFault(-1);

        QCOMPARE(readFile(env->hiveFile()), before);
        QCOMPARE(settings::Read(settings::Speed), QStringLiteral("1000"));
        QCOMPARE(settings::Read(settings::Loop), QString());
        // No temporary files are left beside it.
        const QStringList left = QDir(QFileInfo(env->hiveFile()).absolutePath()).entryList(QDir::Files);
        for (const QString &name : left)
            QVERIFY2(name == QLatin1String("HKEY_CURRENT_USER.reg"), qPrintable(name));
    }

    // Start-up writes "First" = "1" on every run; the value is already there.
    void writingTheStoredValueAgainLeavesTheFileAlone()
    {
        settings::Write(settings::First, QStringLiteral("1"));
        const ino_t written = inodeOf(env->hiveFile());
        const QByteArray bytes = readFile(env->hiveFile());
        settings::Write(settings::First, QStringLiteral("1"));
        QCOMPARE(inodeOf(env->hiveFile()), written);
        QCOMPARE(readFile(env->hiveFile()), bytes);
        // The same bytes of another type, and other bytes, are written.
        storeRaw("First", REG_EXPAND_SZ, QByteArray("1\0", 2));
        QVERIFY(inodeOf(env->hiveFile()) != written);
        QCOMPARE(settings::Read(settings::First), QString()); // no longer a REG_SZ
        settings::Write(settings::First, QStringLiteral("1"));
        QCOMPARE(settings::Read(settings::First), QStringLiteral("1"));
        const ino_t again = inodeOf(env->hiveFile());
        settings::Write(settings::First, QStringLiteral("2"));
        QVERIFY(inodeOf(env->hiveFile()) != again);
        QCOMPARE(settings::Read(settings::First), QStringLiteral("2"));
    }

    void aFileThatCannotBeParsedIsMovedAsideNeverOverwritten()
    {
        const QByteArray garbage("this is not a registry file\n[broken");
        QVERIFY(testsupport::writeFile(env->hiveFile(), garbage));
        QCOMPARE(settings::Read(settings::Speed), QString()); // reads as a first run
        const QStringList aside = movedAside(env->hiveFile());
        QCOMPARE(aside.size(), 1);
        QCOMPARE(readFile(QFileInfo(env->hiveFile()).absolutePath() + QLatin1Char('/') + aside.first()), garbage);

        settings::Write(settings::Speed, QStringLiteral("1000"));
        QCOMPARE(settings::Read(settings::Speed), QStringLiteral("1000"));
        QCOMPARE(movedAside(env->hiveFile()).size(), 1);
    }

    void aDamagedLineLosesOnlyItself()
    {
        // A hive as the viewer writes it, with one line hit by a stray byte.
        settings::Write(settings::BackColor, QStringLiteral("4210752"));
        settings::Write(settings::Speed, QStringLiteral("2500"));
        settings::Write(settings::Locate, QStringLiteral("C:\\Photos"));
        const QByteArray good = readFile(env->hiveFile());
        const QString speed = QStringLiteral("\"Speed\"=\"2500\"");
        const QByteArray line(reinterpret_cast<const char *>(speed.utf16()), speed.size() * 2);
        const qsizetype at = good.indexOf(line);
        QVERIFY(at > 0);
        QByteArray damaged = good;
        damaged[at + 2 * 7] = '\x01'; // "Speed"\x01"2500": no '=' any more
        QVERIFY(testsupport::writeFile(env->hiveFile(), damaged));

        QCOMPARE(settings::Read(settings::BackColor), QStringLiteral("4210752"));
        QCOMPARE(settings::Read(settings::Locate), QStringLiteral("C:\\Photos"));
        QCOMPARE(settings::Read(settings::Speed), QString());
        QVERIFY(movedAside(env->hiveFile()).isEmpty()); // reading changes no file

        // The next write keeps the damaged file aside, then writes back what was read.
        settings::Write(settings::Loop, QStringLiteral("1"));
        const QStringList aside = movedAside(env->hiveFile());
        QCOMPARE(aside.size(), 1);
        QCOMPARE(readFile(QFileInfo(env->hiveFile()).absolutePath() + QLatin1Char('/') + aside.first()), damaged);
        QCOMPARE(settings::Read(settings::BackColor), QStringLiteral("4210752"));
        QCOMPARE(settings::Read(settings::Loop), QStringLiteral("1"));
        settings::Write(settings::Speed, QStringLiteral("1000"));
        QCOMPARE(movedAside(env->hiveFile()).size(), 1); // the file is whole again
        QCOMPARE(settings::Read(settings::Speed), QStringLiteral("1000"));
    }

    void namesTheFileCannotHoldAreRefused()
    {
        HKEY key = nullptr;
        QCOMPARE(RegCreateKeyA(HKEY_CURRENT_USER, "Software\\\\Lumadex", &key), ERROR_INVALID_PARAMETER);
        const QByteArray longName = "Software\\" + QByteArray(256, 'n');
        QCOMPARE(RegCreateKeyA(HKEY_CURRENT_USER, longName.constData(), &key), ERROR_INVALID_PARAMETER);
        QVERIFY(!QFileInfo::exists(env->hiveFile()));
        QCOMPARE(RegOpenKeyA(HKEY_CURRENT_USER, "Software\\\\Lumadex", &key), ERROR_INVALID_PARAMETER);
        QCOMPARE(RegCreateKeyA(HKEY_CURRENT_USER, "Software\\Two\nLines", &key), ERROR_INVALID_PARAMETER);
        // Nor a value name that would break its line.
        QCOMPARE(RegCreateKeyA(HKEY_CURRENT_USER, "Software\\Lumadex Viewer", &key), ERROR_SUCCESS);
        QCOMPARE(RegSetValueExA(key, "Two\r\nLines", 0, REG_SZ, reinterpret_cast<const BYTE *>("x"), 2), ERROR_INVALID_PARAMETER);
        QCOMPARE(RegCloseKey(key), ERROR_SUCCESS);
    }

    void aFileThatCannotBeReadIsNotReplaced()
    {
        if (::geteuid() == 0)
            QSKIP("file permissions do not bind the superuser");
        settings::Write(settings::Speed, QStringLiteral("1000"));
        QFile::setPermissions(env->hiveFile(), QFileDevice::WriteOwner);
        QCOMPARE(settings::Read(settings::Speed), QString());
        settings::Write(settings::Speed, QStringLiteral("2500"));
        QFile::setPermissions(env->hiveFile(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        QCOMPARE(settings::Read(settings::Speed), QStringLiteral("1000"));
    }

    void otherKeysOfTheHiveAreKept()
    {
        settings::WriteSetting(HKEY_CURRENT_USER, settings::DesktopKey, settings::WallpaperStyle, QStringLiteral("2"));
        settings::Write(settings::Speed, QStringLiteral("1000"));
        QCOMPARE(settings::ReadSetting(HKEY_CURRENT_USER, settings::DesktopKey, settings::WallpaperStyle),
                 QStringLiteral("2"));
        QCOMPARE(settings::ReadSetting(HKEY_CURRENT_USER, settings::DesktopKey, settings::Speed), QString());
    }
};

LUMADEX_TEST_CLASS(RegistryTest);
#include "RegistryTest.moc"
