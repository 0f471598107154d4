#include "fakeserialport.h"

#include <QPointer>
#include <QTimer>

namespace zorv {

bool FakeSerialPort::open(QString *error)
{
    ++opens;
    if (m_open) {
        if (error)
            *error = QStringLiteral("Port already open");
        return false;
    }
    if (!openError.isEmpty()) {
        if (error)
            *error = openError;
        return false;
    }
    m_open = true;
    return true;
}

void FakeSerialPort::close()
{
    if (!m_open)
        return;
    m_open = false;
    emit closed();
}

bool FakeSerialPort::write(const QByteArray &frame)
{
    if (!m_open)
        return false;
    frames.append(frame);
    if (onWrite)
        onWrite(frame);
    return true;
}

QByteArray FakeSerialPort::written() const
{
    QByteArray all;
    for (const auto &f : frames)
        all += f;
    return all;
}

QByteArray FakeSerialPort::read(int max)
{
    if (max < 1 || !m_open)
        return {};
    return m_in.take(max);
}

void FakeSerialPort::receive(const QByteArray &bytes)
{
    if (!m_open)
        return;
    m_in.setLimit(readBufferLimit());
    if (m_in.append(bytes) == 0)
        return;
    if (m_readyQueued)
        return;
    m_readyQueued = true;
    QTimer::singleShot(0, this, [this] {
        m_readyQueued = false;
        // As QSerialPort: nothing is signalled while an earlier signal is still being
        // handled (a box opened from it); those bytes wait, told with the next arrival.
        if (m_emitting || !m_open || m_in.size() == 0)
            return;
        QPointer<FakeSerialPort> alive(this); // a slot may delete the port
        m_emitting = true;
        emit readyRead();
        if (alive)
            m_emitting = false;
    });
}

void FakeSerialPort::unplug(const QString &error)
{
    if (!m_open)
        return;
    m_open = false;
    m_in.clear();
    emit failed(error);
    emit closed();
}

} // namespace zorv
