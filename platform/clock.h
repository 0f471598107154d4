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

inline Clock &clock() { return Service<Clock>::get(); }

} // namespace zorv
