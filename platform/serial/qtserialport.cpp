#include "qtserialport.h"

#include <QFileInfo>
#include <QSocketNotifier>

#include <QDir>
#include <QFile>

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <limits>

namespace zorv {

namespace {

// The lock file QSerialPort keeps for a device ("LCK..ttyUSB0"), when it is there and the
// process named in it has ended; empty otherwise.
QString deadOwnersLockFile(const QString &device)
{
    QString name = device.startsWith(QLatin1String("/dev/")) ? device.mid(5) : device;
    name.replace(QLatin1Char('/'), QLatin1Char('_'));
    for (const char *folder : {"/var/lock", "/run/lock"}) {
        const QString path = QStringLiteral("%1/LCK..%2").arg(QLatin1String(folder), name);
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            continue;
        // Both QLockFile and the UUCP style start with the owner's process id.
        bool ok = false;
        const qint64 pid = file.readLine(32).trimmed().toLongLong(&ok);
        if (ok && pid > 0 && pid <= std::numeric_limits<pid_t>::max()
            && ::kill(pid_t(pid), 0) != 0 && errno == ESRCH)
            return path;
        return {};
    }
    return {};
}

} // namespace

QtSerialPort::QtSerialPort(QObject *parent) : SerialPort(parent)
{
    // QSerialPort sends no readyRead() while an earlier one is still on the stack, and a
    // slot may open a message box there: what came meanwhile would wait for the next
    // arrival. Taken from the event loop instead, its own emission is over by then.
    connect(&m_port, &QSerialPort::readyRead, this, &QtSerialPort::takeReceived, Qt::QueuedConnection);
    connect(&m_port, &QSerialPort::errorOccurred, this, &QtSerialPort::onError);
    m_rearm.setSingleShot(true);
    m_rearm.setInterval(50);
    connect(&m_rearm, &QTimer::timeout, this, [this] {
        if (m_hangup)
            m_hangup->setEnabled(true);
    });
    connect(&m_node, &QFileSystemWatcher::directoryChanged, this, &QtSerialPort::checkNode);
}

QtSerialPort::~QtSerialPort()
{
    stopWatching();
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
    m_alias.reset();
    if (!m_port.open(QIODevice::ReadWrite) && !openPastStaleLock(device))
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
    watchDevice(device);
    return true;
}

void QtSerialPort::close()
{
    m_in.clear();
    if (!m_port.isOpen())
        return;
    stopWatching();
    m_port.close();
    m_port.clearError();
    m_alias.reset();
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
    stopWatching();
    m_port.blockSignals(true);
    m_port.close();
    m_port.clearError();
    m_port.blockSignals(false);
    m_alias.reset();
    emit failed(error);
    emit closed();
}

bool QtSerialPort::openPastStaleLock(const QString &device)
{
    // A lock left by a process that was killed, owned by a user who is not us, cannot be
    // removed. The lock only keeps other programs off a port in use; the terminal's own
    // exclusive open still does that, so the device is opened under a name of our own.
    if (m_port.error() != QSerialPort::PermissionError || deadOwnersLockFile(device).isEmpty())
        return false;
    auto alias = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/zorv900-port-XXXXXX"));
    const QString link = alias->filePath(QFileInfo(device).fileName());
    if (!alias->isValid() || !QFile::link(device, link))
        return false;
    m_port.setPortName(link);
    if (!m_port.open(QIODevice::ReadWrite)) {
        m_port.setPortName(device);
        return false;
    }
    m_alias = std::move(alias);
    return true;
}

void QtSerialPort::watchDevice(const QString &device)
{
    m_watchFd = ::fcntl(int(m_port.handle()), F_DUPFD_CLOEXEC, 0);
    if (m_watchFd >= 0) {
        m_hangup = std::make_unique<QSocketNotifier>(m_watchFd, QSocketNotifier::Read);
        connect(m_hangup.get(), &QSocketNotifier::activated, this, &QtSerialPort::checkLine);
    }
    m_device = device;
    // The folder, not the file: a name that goes away is seen there whatever the file is.
    m_node.addPath(QFileInfo(device).absolutePath());
}

void QtSerialPort::stopWatching()
{
    m_rearm.stop();
    m_hangup.reset();
    if (m_watchFd >= 0)
        ::close(m_watchFd);
    m_watchFd = -1;
    if (!m_node.directories().isEmpty())
        m_node.removePaths(m_node.directories());
}

void QtSerialPort::checkLine()
{
    pollfd line{m_watchFd, POLLIN, 0};
    if (::poll(&line, 1, 0) < 1)
        return;
    if (line.revents & (POLLHUP | POLLERR | POLLNVAL)) {
        fail(QStringLiteral("The device hung up"));
        return;
    }
    // Bytes QSerialPort has not taken yet: its own notifier takes them in this same
    // round; waking again for them meanwhile would spin.
    m_hangup->setEnabled(false);
    m_rearm.start();
}

void QtSerialPort::checkNode()
{
    struct stat named{}, open{};
    if (!m_port.isOpen() || m_watchFd < 0 || ::fstat(m_watchFd, &open) != 0)
        return;
    const QByteArray path = QFile::encodeName(m_device);
    if (::stat(path.constData(), &named) != 0 || named.st_ino != open.st_ino || named.st_dev != open.st_dev)
        fail(QStringLiteral("The device is gone"));
}

} // namespace zorv
