#include "monitorreaders.h"

#include "clock.h"
#include "serialport.h"

namespace zorv::console {

PortStatusReader::PortStatusReader(SerialPort *port, QObject *parent)
    : QObject(parent), m_port(port)
{
    m_deadline.setSingleShot(true);
    m_deadline.setTimerType(Qt::PreciseTimer);
    connect(&m_deadline, &QTimer::timeout, this, &PortStatusReader::checkDeadline);
}

void PortStatusReader::start()
{
    if (m_running || !m_port)
        return;
    m_running = true;
    m_discarding = false;
    m_line.clear();
    connect(m_port, &SerialPort::readyRead, this, &PortStatusReader::readWaiting, Qt::UniqueConnection);
    connect(m_port, &SerialPort::closed, this, &PortStatusReader::finish, Qt::UniqueConnection);
    m_port->write(QByteArrayLiteral("GTAP\r"));
    m_t0 = clock().elapsedMs();
    armDeadline();
    // Bytes that were already waiting give no new signal.
    if (m_port && m_port->bytesWaiting() > 0)
        QTimer::singleShot(0, this, &PortStatusReader::readWaiting);
}

void PortStatusReader::stop()
{
    finish();
}

void PortStatusReader::discardRest()
{
    if (!m_running)
        return;
    m_discarding = true;
    m_line.clear();
}

bool PortStatusReader::expired() const
{
    return clock().elapsedMs() - m_t0 >= kLineWaitMs;
}

void PortStatusReader::armDeadline()
{
    const qint64 left = m_t0 + kLineWaitMs - clock().elapsedMs();
    m_deadline.start(int(qBound<qint64>(1, left, kLineWaitMs)));
}

void PortStatusReader::checkDeadline()
{
    if (!m_running)
        return;
    if (expired()) {
        finish();
        return;
    }
    armDeadline();
}

void PortStatusReader::readWaiting()
{
    while (m_running && m_port && m_port->bytesWaiting() > 0) {
        // The clock is looked at before each byte, so a line late by the time its bytes
        // are taken is dropped with everything after it.
        if (expired()) {
            finish();
            return;
        }
        const QByteArray c = m_port->read(1);
        if (c.isEmpty())
            break;
        if (c[0] != '\r') {
            if (!m_discarding)
                m_line += c;
            continue;
        }
        const QByteArray row = kRowIndent + m_line;
        m_line.clear();
        if (!m_discarding)
            emit rowReady(row);
        if (!m_running)
            return;
        m_t0 = clock().elapsedMs();
        armDeadline();
    }
}

void PortStatusReader::finish()
{
    if (!m_running)
        return;
    m_running = false;
    m_deadline.stop();
    m_line.clear();
    if (m_port)
        disconnect(m_port, nullptr, this, nullptr);
    emit finished();
}

LineMonitor::LineMonitor(SerialPort *port, const int &stopFlag, QObject *parent)
    : QObject(parent), m_port(port), m_stopFlag(stopFlag)
{
}

void LineMonitor::start()
{
    if (m_running || !m_port)
        return;
    m_running = true;
    m_riga.azzera();
    m_read.clear();
    connect(m_port, &SerialPort::readyRead, this, &LineMonitor::readWaiting, Qt::UniqueConnection);
    connect(m_port, &SerialPort::closed, this, &LineMonitor::finish, Qt::UniqueConnection);
    if (m_port->bytesWaiting() > 0)
        QTimer::singleShot(0, this, &LineMonitor::readWaiting);
}

void LineMonitor::stop()
{
    finish();
}

void LineMonitor::readWaiting()
{
    const auto note = [this](const QString &text) { emit noiseDropped(text); };
    while (m_running && m_port) {
        if (stopRequested()) {
            finish();
            return;
        }
        // No more than a line's worth is taken from the port at a time.
        if (m_read.isEmpty()) {
            if (m_port->bytesWaiting() <= 0)
                break;
            m_read = m_port->read(int(reader::RigaLettore::kLunghezzaMassima));
            if (m_read.isEmpty())
                break;
        }
        m_read.remove(0, m_riga.aggiungi(m_read, note));
        if (!m_riga.completa())
            continue;
        if (stopRequested()) {
            finish();
            return;
        }
        emit lineReady(m_riga.prendi());
    }
    if (m_running && stopRequested())
        finish();
}

void LineMonitor::finish()
{
    if (!m_running)
        return;
    m_running = false;
    m_riga.azzera();
    m_read.clear();
    if (m_port)
        disconnect(m_port, nullptr, this, nullptr);
    emit finished();
}

} // namespace zorv::console
