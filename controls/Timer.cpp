#include "controls/Timer.h"

#include <QCoreApplication>
#include <QEvent>

#include <algorithm>

namespace controls {

qint64 nextDue(qint64 due, qint64 interval, qint64 now)
{
    return std::max(due + interval, now);
}

Timer::Timer(const QString &name, QObject *parent) : QObject(parent)
{
    setObjectName(name);
    m_clock.setSingleShot(true);
    m_clock.setTimerType(Qt::PreciseTimer);
    connect(&m_clock, &QTimer::timeout, this, &Timer::fire);
    m_since.start();
}

void Timer::setEnabled(bool enabled)
{
    if (enabled == m_enabled)
        return;
    m_enabled = enabled;
    restart();
}

void Timer::setInterval(int milliseconds)
{
    m_interval = std::max(milliseconds, 0);
    restart();
}

void Timer::restart()
{
    ++m_schedule;
    m_dueDuringHandler = false;
    m_clock.stop();
    if (!m_enabled || m_interval <= 0)
        return;
    m_due = m_since.elapsed() + m_interval;
    arm();
}

void Timer::arm()
{
    m_clock.start(int(std::clamp<qint64>(m_due - m_since.elapsed(), 0, m_interval)));
}

void Timer::fire()
{
    if (!m_enabled || m_interval <= 0)
        return;
    if (m_inHandler) {
        // The handler restarted the timer and then waits in an event loop of
        // its own: this tick runs once it has returned.
        m_dueDuringHandler = true;
        return;
    }
    // What the last handler changed reaches the screen before this tick
    // changes it again.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
    const quint64 schedule = m_schedule;
    m_inHandler = true;
    emit Tick();
    m_inHandler = false;
    if (m_dueDuringHandler) {
        m_dueDuringHandler = false;
        m_due = m_since.elapsed();
        arm();
        return;
    }
    // A handler that stopped or restarted the timer has set its schedule.
    if (schedule != m_schedule)
        return;
    m_due = nextDue(m_due, m_interval, m_since.elapsed());
    arm();
}

} // namespace controls
