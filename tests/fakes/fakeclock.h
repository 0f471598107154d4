#pragma once

#include "clock.h"

#include <QDate>
#include <QDateTime>
#include <QTime>

namespace zorv {

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

} // namespace zorv
