#include "qtserialport.h"

#include <QFileInfo>

#include <limits>

namespace zorv {

QtSerialPort::QtSerialPort(QObject *parent) : SerialPort(parent)
{
    // QSerialPort sends no readyRead() while an earlier one is still on the stack, and a
    // slot may open a message box there: what came meanwhile would wait for the next
    // arrival. Taken from the event loop instead, its own emission is over by then.
    connect(&m_port, &QSerialPort::readyRead, this, &QtSerialPort::takeReceived, Qt::QueuedConnection);
    connect(&m_port, &QSerialPort::errorOccurred, this, &QtSerialPort::onError);
}

QtSerialPort::~QtSerialPort()
{
    m_port.blockSignals(true);
    m_port.close();
}

bool QtSerialPort::open(QString *error)
{
    auto failWith = [&](const QString &text) {
        if (error)
            *error = text;
        return false;
    };
    if (m_port.isOpen())
        return failWith(QStringLiteral("Port already open"));
    LineSettings line;
    if (!parseSettings(settings(), &line))
        return failWith(QStringLiteral("Invalid settings: %1").arg(settings()));
    if (commPort() < 1)
        return failWith(QStringLiteral("Invalid port number"));

    QString device = devicePath(commPort());
    // Lock on the device itself, so two names for one device still exclude each other.
    const QString canonical = QFileInfo(device).canonicalFilePath();
    if (!canonical.isEmpty())
        device = canonical;
    m_port.setPortName(device);
    m_failing = false;
    if (!m_port.open(QIODevice::ReadWrite))
        return failWith(QStringLiteral("%1: %2").arg(device, m_port.errorString()));

    QSerialPort::Parity parity = QSerialPort::NoParity;
    switch (line.parity) {
    case 'e': parity = QSerialPort::EvenParity; break;
    case 'o': parity = QSerialPort::OddParity; break;
    case 'm': parity = QSerialPort::MarkParity; break;
    case 's': parity = QSerialPort::SpaceParity; break;
    default: break;
    }
    const bool configured = m_port.setBaudRate(line.baud)
        && m_port.setParity(parity)
        && m_port.setDataBits(QSerialPort::DataBits(line.dataBits))
        && m_port.setStopBits(line.stopBits == 2 ? QSerialPort::TwoStop : QSerialPort::OneStop)
        && m_port.setFlowControl(QSerialPort::NoFlowControl);
    if (!configured) {
        const QString text = m_port.errorString();
        m_port.blockSignals(true);
        m_port.close();
        m_port.blockSignals(false);
        return failWith(QStringLiteral("%1: %2").arg(device, text));
    }
    m_port.clearError();
    return true;
}

void QtSerialPort::close()
{
    m_in.clear();
    if (!m_port.isOpen())
        return;
    m_port.close();
    m_port.clearError();
    emit closed();
}

bool QtSerialPort::isOpen() const
{
    return m_port.isOpen();
}

bool QtSerialPort::write(const QByteArray &frame)
{
    if (!m_port.isOpen())
        return false;
    // The whole frame goes to the driver now; the event loop need not run for it to leave.
    const qint64 n = m_port.write(frame);
    if (n != frame.size()) {
        if (m_port.isOpen())
            fail(m_port.errorString());
        return false;
    }
    m_port.flush();
    return m_port.isOpen();
}

int QtSerialPort::bytesWaiting() const
{
    if (!m_port.isOpen())
        return 0;
    // What QSerialPort holds and has not been taken yet counts, as far as the limit lets
    // it in.
    qint64 held = m_port.bytesAvailable();
    if (readBufferLimit() > 0)
        held = qMin(held, qMax<qint64>(0, readBufferLimit() - m_in.size()));
    return int(qMin<qint64>(m_in.size() + held, std::numeric_limits<int>::max()));
}

QByteArray QtSerialPort::read(int max)
{
    if (max < 1 || !m_port.isOpen())
        return {};
    pull();
    return m_in.take(max);
}

qsizetype QtSerialPort::pull()
{
    // The port's own buffer is emptied each time; the limit applies to ours.
    m_in.setLimit(readBufferLimit());
    return m_in.append(m_port.readAll());
}

void QtSerialPort::takeReceived()
{
    if (m_port.isOpen() && pull() > 0)
        emit readyRead();
}

void QtSerialPort::onError(QSerialPort::SerialPortError error)
{
    switch (error) {
    case QSerialPort::NoError:
    case QSerialPort::TimeoutError:
    case QSerialPort::DeviceNotFoundError: // only from open(), reported there
    case QSerialPort::PermissionError:
    case QSerialPort::OpenError:
    case QSerialPort::NotOpenError:
    case QSerialPort::UnsupportedOperationError:
        return;
    default:
        break;
    }
    if (m_port.isOpen())
        fail(m_port.errorString());
}

void QtSerialPort::fail(const QString &error)
{
    // One report, then the port is closed, so a vanished device cannot repeat its error.
    if (m_failing)
        return;
    m_failing = true;
    m_in.clear();
    m_port.blockSignals(true);
    m_port.close();
    m_port.clearError();
    m_port.blockSignals(false);
    emit failed(error);
    emit closed();
}

} // namespace zorv
