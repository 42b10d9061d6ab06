#include "settings/Settings.h"
#include "tests/support/TestEnvironment.h"
#include "tests/support/TestRunner.h"

#include <QProcess>
#include <QTest>

#include <memory>
#include <signal.h>

namespace {

// Starts an instance probe and returns what it answered.
QString startProbe(QProcess &probe)
{
    probe.start(QStringLiteral(INSTANCE_PROBE), {});
    if (!probe.waitForStarted(10000) || !probe.waitForReadyRead(10000))
        return QStringLiteral("(no answer)");
    return QString::fromLatin1(probe.readLine()).trimmed();
}

// Hands a path to the running copy through another probe.
QString handOver(const QByteArray &path)
{
    QProcess probe;
    probe.start(QStringLiteral(INSTANCE_PROBE), {QStringLiteral("hand"), QString::fromLatin1(path.toHex())});
    if (!probe.waitForFinished(30000))
        return QStringLiteral("(no answer)");
    return QString::fromLatin1(probe.readAllStandardOutput()).trimmed();
}

void finish(QProcess &probe)
{
    probe.write("\n");
    probe.closeWriteChannel();
    probe.waitForFinished(10000);
}

} // namespace

class PlatformProcessTest : public QObject {
    Q_OBJECT
    std::unique_ptr<testsupport::HermeticEnvironment> env;

private slots:
    void init() { env = std::make_unique<testsupport::HermeticEnvironment>(); }

    void aSecondProcessSeesTheFirst()
    {
        QProcess first, second, third;
        QCOMPARE(startProbe(first), QStringLiteral("first"));
        QCOMPARE(startProbe(second), QStringLiteral("running"));
        finish(second);
        finish(first);
        QCOMPARE(startProbe(third), QStringLiteral("first"));
        finish(third);
    }

    void aCrashedFirstProcessDoesNotKeepRefusing()
    {
        QProcess first, later;
        QCOMPARE(startProbe(first), QStringLiteral("first"));
        ::kill(pid_t(first.processId()), SIGKILL);
        QVERIFY(first.waitForFinished(10000));
        QCOMPARE(startProbe(later), QStringLiteral("first"));
        finish(later);
    }

    // A later start hands its path to the copy that runs, bytes as they
    // are; with no copy running the hand-over is refused, not lost.
    void aPathIsHandedToTheRunningCopy()
    {
        QProcess first;
        first.start(QStringLiteral(INSTANCE_PROBE), {QStringLiteral("serve")});
        QVERIFY(first.waitForStarted(10000) && first.waitForReadyRead(10000));
        QCOMPARE(QString::fromLatin1(first.readLine()).trimmed(), QStringLiteral("first"));
        const QByteArray path = "/srv/pictures/caf\xe9 1.jpg";
        QCOMPARE(handOver(path), QStringLiteral("taken"));
        while (!first.canReadLine())
            QVERIFY(first.waitForReadyRead(10000));
        QCOMPARE(QByteArray::fromHex(first.readLine().trimmed()), path);
        QCOMPARE(handOver("/quit"), QStringLiteral("taken"));
        QVERIFY(first.waitForFinished(10000));
        QCOMPARE(handOver("/srv/pictures/a.jpg"), QStringLiteral("refused"));
    }

    // A copy listens once its window is up; a start that comes before then
    // waits for it instead of being refused.
    void aStartWaitsForACopyThatIsStillStarting()
    {
        QProcess first;
        first.start(QStringLiteral(INSTANCE_PROBE), {QStringLiteral("serve"), QStringLiteral("700")});
        QVERIFY(first.waitForStarted(10000) && first.waitForReadyRead(10000));
        QCOMPARE(QString::fromLatin1(first.readLine()).trimmed(), QStringLiteral("first"));
        QCOMPARE(handOver("/srv/early.jpg"), QStringLiteral("taken"));
        while (!first.canReadLine())
            QVERIFY(first.waitForReadyRead(10000));
        QCOMPARE(QByteArray::fromHex(first.readLine().trimmed()), QByteArray("/srv/early.jpg"));
        QCOMPARE(handOver("/quit"), QStringLiteral("taken"));
        QVERIFY(first.waitForFinished(10000));
    }

    // A copy that was killed leaves its socket behind; the next copy
    // answers there. A start that sends more than any path is cut off, and
    // the copy goes on answering.
    void aKilledCopyLeavesNoDeadHandOverAndAFloodIsCutOff()
    {
        QProcess killed;
        killed.start(QStringLiteral(INSTANCE_PROBE), {QStringLiteral("serve")});
        QVERIFY(killed.waitForStarted(10000) && killed.waitForReadyRead(10000));
        QCOMPARE(QString::fromLatin1(killed.readLine()).trimmed(), QStringLiteral("first"));
        ::kill(pid_t(killed.processId()), SIGKILL);
        QVERIFY(killed.waitForFinished(10000));
        QCOMPARE(handOver("/srv/a.jpg"), QStringLiteral("refused"));

        QProcess next;
        next.start(QStringLiteral(INSTANCE_PROBE), {QStringLiteral("serve")});
        QVERIFY(next.waitForStarted(10000) && next.waitForReadyRead(10000));
        QCOMPARE(QString::fromLatin1(next.readLine()).trimmed(), QStringLiteral("first"));
        QProcess flood;
        flood.start(QStringLiteral(INSTANCE_PROBE), {QStringLiteral("hand-long"), QStringLiteral("200000")});
        QVERIFY(flood.waitForFinished(30000));
        QCOMPARE(QString::fromLatin1(flood.readAllStandardOutput()).trimmed(), QStringLiteral("refused"));
        const QByteArray path = "/srv/pictures/b.jpg";
        QCOMPARE(handOver(path), QStringLiteral("taken"));
        while (!next.canReadLine())
            QVERIFY(next.waitForReadyRead(10000));
        QCOMPARE(QByteArray::fromHex(next.readLine().trimmed()), path);
        QCOMPARE(handOver("/quit"), QStringLiteral("taken"));
        QVERIFY(next.waitForFinished(10000));
    }

    void twoProcessesWritingAtOnceLoseNothing()
    {
        constexpr int count = 150;
        QProcess a, b;
        a.start(QStringLiteral(REGISTRY_WRITER), {QStringLiteral("A"), QString::number(count)});
        b.start(QStringLiteral(REGISTRY_WRITER), {QStringLiteral("B"), QString::number(count)});
        QVERIFY(a.waitForFinished(120000));
        QVERIFY(b.waitForFinished(120000));
        QCOMPARE(a.exitCode(), 0);
        QCOMPARE(b.exitCode(), 0);
        for (int i = 0; i < count; ++i) {
            QCOMPARE(settings::Read(QStringLiteral("A%1").arg(i)), QString::number(i));
            QCOMPARE(settings::Read(QStringLiteral("B%1").arg(i)), QString::number(i));
        }
    }
};

LUMADEX_TEST_CLASS(PlatformProcessTest);
#include "PlatformProcessTest.moc"
