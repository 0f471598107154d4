#pragma once

#include "service.h"

#include <QDateTime>
#include <QElapsedTimer>

namespace zorv {

// Elapsed time comes from a monotonic clock, so durations never jump at midnight or when
// the wall clock is set; the date and time of day are for labels and the movement log.
class Clock {
public:
    virtual ~Clock() = default;
    virtual qint64 elapsedMs() const = 0;
    virtual QDateTime now() const = 0;
};

class SystemClock : public Clock {
public:
    SystemClock() { m_timer.start(); }
    qint64 elapsedMs() const override { return m_timer.elapsed(); }
    QDateTime now() const override { return QDateTime::currentDateTime(); }

private:
    QElapsedTimer m_timer;
};

// A clock a test sets and advances by hand.
class FakeClock : public Clock {
public:
    qint64 elapsedMs() const override { return m_elapsed; }
    QDateTime now() const override { return m_now; }
    void advanceMs(qint64 ms)
    {
        m_elapsed += ms;
        m_now = m_now.addMSecs(ms);
    }
    void setNow(const QDateTime &now) { m_now = now; }

private:
    qint64 m_elapsed = 1000000;
    QDateTime m_now = QDateTime(QDate(2026, 1, 15), QTime(10, 0, 0));
};

inline Clock &clock()
{
    if (!Service<Clock>::isSet()) {
        static SystemClock system;
        Service<Clock>::set(&system);
    }
    return Service<Clock>::get();
}

} // namespace zorv
