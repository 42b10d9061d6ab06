#include "controls/Timer.h"

#include <QTest>
#include <QWidget>

using controls::Timer;

namespace {

class PaintCounter : public QWidget {
public:
    int paints = 0;

protected:
    void paintEvent(QPaintEvent *) override { ++paints; }
};

} // namespace

class TimerTest : public QObject {
    Q_OBJECT
private slots:
    void nextTickIsOnePeriodAfterTheLastWasDue_data()
    {
        QTest::addColumn<qint64>("due");
        QTest::addColumn<qint64>("now");
        QTest::addColumn<qint64>("next");
        QTest::newRow("handler took 30 ms: not added to the delay") << qint64(1000) << qint64(1030) << qint64(2000);
        QTest::newRow("tick delivered late") << qint64(1000) << qint64(1400) << qint64(2000);
        QTest::newRow("handler ran past the next tick: at once") << qint64(1000) << qint64(2500) << qint64(2500);
        QTest::newRow("several periods late: no burst") << qint64(1000) << qint64(9000) << qint64(9000);
    }
    void nextTickIsOnePeriodAfterTheLastWasDue()
    {
        QFETCH(qint64, due);
        QFETCH(qint64, now);
        QFETCH(qint64, next);
        QCOMPARE(controls::nextDue(due, 1000, now), next);
    }

    void ticksOnlyWhileEnabledWithAnInterval()
    {
        Timer timer(QStringLiteral("Timer2"));
        QCOMPARE(timer.objectName(), QStringLiteral("Timer2"));
        QVERIFY(!timer.Enabled());
        QCOMPARE(timer.Interval(), 0);
        timer.setEnabled(true);
        QVERIFY(!timer.isRunning()); // interval 0
        timer.setInterval(50);
        QVERIFY(timer.isRunning());
        timer.setInterval(0);
        QVERIFY(!timer.isRunning());
        timer.setInterval(-5);
        QCOMPARE(timer.Interval(), 0);
        QVERIFY(!timer.isRunning());
        timer.setInterval(50);
        timer.setEnabled(false);
        QVERIFY(!timer.isRunning());
        QCOMPARE(timer.Interval(), 50);
        timer.setEnabled(true);
        QVERIFY(timer.isRunning());
    }

    void ticksRepeatUntilTheHandlerStopsThem()
    {
        Timer timer(QStringLiteral("Timer1"));
        int ticks = 0;
        connect(&timer, &Timer::Tick, this, [&] {
            if (++ticks == 3)
                timer.setEnabled(false);
        });
        timer.setEnabled(true);
        timer.setInterval(1);
        QTRY_COMPARE(ticks, 3);
        QVERIFY(!timer.isRunning());
    }

    void aTickNeverOverlapsItsHandler()
    {
        Timer timer(QStringLiteral("Timer2"));
        int depth = 0;
        int deepest = 0;
        int ticks = 0;
        connect(&timer, &Timer::Tick, this, [&] {
            ++depth;
            deepest = std::max(deepest, depth);
            if (++ticks == 1) {
                // Restarted, then waiting in an event loop of its own until
                // the restarted tick has fallen due.
                timer.setInterval(1);
                QVERIFY(QTest::qWaitFor([&] { return !timer.isRunning(); }, 5000));
            } else {
                timer.setEnabled(false);
            }
            --depth;
        });
        timer.setEnabled(true);
        timer.setInterval(1);
        QTRY_COMPARE(ticks, 2);
        QCOMPARE(deepest, 1);
    }

    void whatATickChangedIsPaintedBeforeTheNext()
    {
        PaintCounter widget;
        widget.resize(50, 50);
        widget.show();
        QVERIFY(QTest::qWaitForWindowExposed(&widget));
        Timer timer(QStringLiteral("Timer2"));
        QList<int> paintsAtTick;
        connect(&timer, &Timer::Tick, this, [&] {
            paintsAtTick << widget.paints;
            widget.update();
            if (paintsAtTick.size() == 20)
                timer.setEnabled(false);
        });
        timer.setEnabled(true);
        timer.setInterval(1);
        QTRY_COMPARE(paintsAtTick.size(), 20);
        for (int i = 1; i < paintsAtTick.size(); ++i)
            QVERIFY2(paintsAtTick[i] > paintsAtTick[i - 1], qPrintable(QStringLiteral("tick %1").arg(i)));
    }
};

int runTimerTest(int argc, char *argv[])
{
    TimerTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_timer.moc"
