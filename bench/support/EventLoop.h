#pragma once

// Waiting in the benchmarks without slowing down what they measure.
// QTest::qWaitFor sleeps 10 ms between rounds of events: every timer tick
// and every posted key waits up to that long, so a show at a 1 ms delay
// never steps faster than about one picture in 14 ms, whatever it costs.
#include <QAbstractEventDispatcher>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <functional>

namespace bench {

// Runs the event loop until `done` holds or `timeoutMs` has passed; whether
// it holds. `done` is asked each time the loop is about to wait for events
// and every millisecond, so the loop ends within a millisecond of it.
inline bool runUntil(const std::function<bool()> &done, int timeoutMs)
{
    if (done())
        return true;
    QEventLoop loop;
    QElapsedTimer clock;
    clock.start();
    const auto check = [&] {
        if (done() || clock.elapsed() >= timeoutMs)
            loop.quit();
    };
    QTimer poll;
    poll.setTimerType(Qt::PreciseTimer);
    poll.setInterval(1);
    QObject::connect(&poll, &QTimer::timeout, &loop, check);
    poll.start();
    const QMetaObject::Connection blocking =
        QObject::connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock, &loop, check);
    loop.exec();
    QObject::disconnect(blocking);
    return done();
}

} // namespace bench
