#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>

namespace controls {

// When the tick after one that was due at `due` falls due, for a timer of
// `interval` milliseconds, at `now` (milliseconds on one monotonic clock):
// one interval after `due`, so that the delay is a period and the time the
// handler takes is not added to it; when the handler ran past that moment,
// at once (`now`), and the period counts on from there instead of firing
// the missed ticks in a burst.
qint64 nextDue(qint64 due, qint64 interval, qint64 now);

// A timer as the windowing runtime knows it. It raises Tick on the
// user-interface thread every Interval() milliseconds, only while it is
// Enabled() with an interval above 0; setting the interval to 0 stops it.
// Enabling it, or setting the interval while enabled, starts the count
// afresh. A tick never overlaps a handler of this timer: one that falls due
// while the handler runs (in a nested event loop) waits until it returns.
// Before each tick the windows paint what earlier handlers changed, as
// painting comes before timer messages on Windows, so however short the
// interval, what one tick shows is on the screen before the next one runs.
class Timer : public QObject {
    Q_OBJECT
public:
    // Disabled, with interval 0, as the timers are designed.
    explicit Timer(const QString &name, QObject *parent = nullptr);

    bool Enabled() const { return m_enabled; }
    void setEnabled(bool enabled);
    int Interval() const { return m_interval; }
    // Milliseconds; a negative interval counts as 0.
    void setInterval(int milliseconds);

    // True while a tick is scheduled.
    bool isRunning() const { return m_clock.isActive(); }

signals:
    // The timer's event ("Timer" in the runtime; a C++ member cannot carry
    // its class's name).
    void Tick();

private:
    void restart();
    void arm();
    void fire();

    QTimer m_clock;
    QElapsedTimer m_since;
    qint64 m_due = 0;
    int m_interval = 0;
    bool m_enabled = false;
    bool m_inHandler = false;
    bool m_dueDuringHandler = false;
    quint64 m_schedule = 0; // counts restarts and stops, so a tick can tell that its handler set a new schedule
};

} // namespace controls
