#include "platform/Drives.h"
#include "platform/HostPath.h"
#include "platform/ShellExecute.h"
#include "tests/support/TestEnvironment.h"
#include "tests/support/TestRunner.h"

#include <QDir>
#include <QFile>
#include <QTest>
#include <QUrl>

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

    // The program the desktop starts works in the folder the caller names
    // (the viewer passes its program folder); without a usable one it works
    // in the viewer's own. A stand-in xdg-open reports where it ran and what
    // it was given.
    void theStartedProgramWorksInTheGivenFolder_data()
    {
        QTest::addColumn<QString>("directory");
        QTest::addColumn<QString>("hostFolder"); // below drive C:
        QTest::newRow("the program folder") << "C:\\Program" << "Program";
        QTest::newRow("none given") << "" << "Docs";
        QTest::newRow("a folder that is gone") << "C:\\Gone" << "Docs";
    }
    void theStartedProgramWorksInTheGivenFolder()
    {
        QFETCH(QString, directory);
        QFETCH(QString, hostFolder);
        QVERIFY(QDir().mkpath(env->driveC() + QStringLiteral("/Program")));
        const QString bin = env->root() + QStringLiteral("/bin");
        const QString report = env->root() + QStringLiteral("/report");
        QVERIFY(testsupport::writeFile(bin + QStringLiteral("/xdg-open"),
                                       "#!/bin/sh\n{ pwd -P; printf '%s\\n' \"$1\"; } > '" + QFile::encodeName(report)
                                           + ".part' && mv '" + QFile::encodeName(report) + ".part' '"
                                           + QFile::encodeName(report) + "'\n"));
        QVERIFY(QFile::setPermissions(bin + QStringLiteral("/xdg-open"), QFile::ReadOwner | QFile::ExeOwner));
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(bin) + ':' + path);
        const bool handedOn = platform::makeDesktopShell()->ShellExecute(
            nullptr, QStringLiteral("Open"), QStringLiteral("C:\\Docs"), {}, directory, platform::SW_SHOWNORMAL);
        qputenv("PATH", path);
        QVERIFY(handedOn);
        QTRY_VERIFY(QFile::exists(report));
        QFile file(report);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = file.readAll().split('\n');
        QCOMPARE(QString::fromLocal8Bit(lines.value(0)), QDir(env->driveC() + QLatin1Char('/') + hostFolder).canonicalPath());
        QCOMPARE(QUrl(QString::fromLatin1(lines.value(1))), QUrl::fromLocalFile(env->driveC() + QStringLiteral("/Docs")));
    }
};

LUMADEX_TEST_CLASS(ShellExecuteTest);
#include "ShellExecuteTest.moc"
