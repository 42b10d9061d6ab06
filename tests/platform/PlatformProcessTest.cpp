#include "settings/Settings.h"
#include "tests/support/TestEnvironment.h"
#include "tests/support/TestRunner.h"

#include <QProcess>
#include <QTest>

#include <memory>
#include <signal.h>

namespace {

// Starts an instance probe and returns what it answered.
QString startProbe(QProcess &probe, const QStringList &arguments = {})
{
    probe.start(QStringLiteral(INSTANCE_PROBE), arguments);
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

// The next path a serving probe was handed, or "(none)".
QByteArray nextHandedPath(QProcess &serving)
{
    while (!serving.canReadLine())
        if (!serving.waitForReadyRead(10000))
            return "(none)";
    return QByteArray::fromHex(serving.readLine().trimmed());
}

// Hands "/quit" to a serving probe; true once it has ended.
bool quit(QProcess &serving)
{
    return handOver("/quit") == QLatin1String("taken") && serving.waitForFinished(10000);
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
        QCOMPARE(startProbe(first, {QStringLiteral("serve")}), QStringLiteral("first"));
        const QByteArray path = "/srv/pictures/caf\xe9 1.jpg";
        QCOMPARE(handOver(path), QStringLiteral("taken"));
        QCOMPARE(nextHandedPath(first), path);
        QVERIFY(quit(first));
        QCOMPARE(handOver("/srv/pictures/a.jpg"), QStringLiteral("refused"));
    }

    // A copy listens once its window is up; a start that comes before then
    // waits for it instead of being refused.
    void aStartWaitsForACopyThatIsStillStarting()
    {
        QProcess first;
        QCOMPARE(startProbe(first, {QStringLiteral("serve"), QStringLiteral("700")}), QStringLiteral("first"));
        QCOMPARE(handOver("/srv/early.jpg"), QStringLiteral("taken"));
        QCOMPARE(nextHandedPath(first), QByteArray("/srv/early.jpg"));
        QVERIFY(quit(first));
    }

    // A copy that was killed leaves its socket behind; the next copy
    // answers there. A start that sends more than any path is cut off, and
    // the copy goes on answering.
    void aKilledCopyLeavesNoDeadHandOverAndAFloodIsCutOff()
    {
        QProcess killed;
        QCOMPARE(startProbe(killed, {QStringLiteral("serve")}), QStringLiteral("first"));
        ::kill(pid_t(killed.processId()), SIGKILL);
        QVERIFY(killed.waitForFinished(10000));
        QCOMPARE(handOver("/srv/a.jpg"), QStringLiteral("refused"));

        QProcess next;
        QCOMPARE(startProbe(next, {QStringLiteral("serve")}), QStringLiteral("first"));
        QProcess flood;
        flood.start(QStringLiteral(INSTANCE_PROBE), {QStringLiteral("hand-long"), QStringLiteral("200000")});
        QVERIFY(flood.waitForFinished(30000));
        QCOMPARE(QString::fromLatin1(flood.readAllStandardOutput()).trimmed(), QStringLiteral("refused"));
        const QByteArray path = "/srv/pictures/b.jpg";
        QCOMPARE(handOver(path), QStringLiteral("taken"));
        QCOMPARE(nextHandedPath(next), path);
        QVERIFY(quit(next));
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
