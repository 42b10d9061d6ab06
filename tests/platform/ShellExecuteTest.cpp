#include "platform/Drives.h"
#include "platform/HostPath.h"
#include "platform/ShellExecute.h"
#include "tests/support/TestEnvironment.h"
#include "tests/support/TestRunner.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <cstdio>
#include <memory>

class ShellExecuteTest : public QObject {
    Q_OBJECT
    std::unique_ptr<testsupport::HermeticEnvironment> env;
    QStringList opened;

private slots:
    void init()
    {
        env = std::make_unique<testsupport::HermeticEnvironment>();
        QDir().mkpath(env->driveC() + QStringLiteral("/Docs"));
        QVERIFY(testsupport::writeFile(env->driveC() + QStringLiteral("/Docs/Guide.HLP"), "help"));
        QDir::setCurrent(env->driveC() + QStringLiteral("/Docs"));
        platform::CurrentDirectory::resetFromHost();
        opened.clear();
        platform::setOpener(QStringLiteral(".hlp"), [this](const QString &host) { opened << host; });
    }

    void cleanup() { platform::setOpener(QStringLiteral(".hlp"), {}); }

    // A registered suffix is opened by the viewer itself, whether the file is
    // named by a full Windows path or relative to the current folder.
    void registeredSuffixGoesToItsOpener()
    {
        auto shell = platform::makeDesktopShell();
        const QString host = env->driveC() + QStringLiteral("/Docs/Guide.HLP");
        QVERIFY(shell->ShellExecute(nullptr, QStringLiteral("Open"), QStringLiteral("c:\\docs\\guide.hlp"), {}, {},
                                    platform::SW_SHOWNORMAL));
        QVERIFY(shell->ShellExecute(nullptr, QStringLiteral("Open"), QStringLiteral("Guide.HLP"), {}, {},
                                    platform::SW_SHOWNORMAL));
        QCOMPARE(opened, QStringList({host, host}));
    }

    // A name that is not UTF-8 reaches its opener as the file's own bytes.
    void hostNamesReachTheirOpener()
    {
        const QByteArray name("H\xe9lp.hlp");
        FILE *f = std::fopen((QFile::encodeName(env->driveC()) + "/Docs/" + name).constData(), "wb");
        QVERIFY(f && std::fclose(f) == 0);
        auto shell = platform::makeDesktopShell();
        QVERIFY(shell->ShellExecute(nullptr, QStringLiteral("Open"), QStringLiteral("C:\\Docs\\H\uF0E9lp.hlp"), {}, {}, 1));
        QCOMPARE(opened.size(), 1);
        QCOMPARE(platform::hostPathBytes(opened.first()), QFile::encodeName(env->driveC()) + "/Docs/" + name);
    }

    void missingFilesAndUnknownDrivesAreRefused()
    {
        auto shell = platform::makeDesktopShell();
        QVERIFY(!shell->ShellExecute(nullptr, QStringLiteral("Open"), QStringLiteral("C:\\Docs\\none.hlp"), {}, {}, 1));
        QVERIFY(!shell->ShellExecute(nullptr, QStringLiteral("Open"), QStringLiteral("Q:\\x.hlp"), {}, {}, 1));
        QVERIFY(!shell->ShellExecute(nullptr, QStringLiteral("Open"), QString(), {}, {}, 1));
        QVERIFY(opened.isEmpty());
    }
};

LUMADEX_TEST_CLASS(ShellExecuteTest);
#include "ShellExecuteTest.moc"
