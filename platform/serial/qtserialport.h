#pragma once

#include "serialport.h"

#include <QFileSystemWatcher>
#include <QSerialPort>
#include <QTemporaryDir>
#include <QTimer>

#include <memory>

class QSocketNotifier;

namespace zorv {

// The serial port on a real device (or a pseudo-terminal), through Qt SerialPort.
// The modem lines are left as they are. A device that goes away is noticed here, not left
// to QSerialPort: some of its versions report nothing when the far end hangs up and then
// wake the event loop for ever.
class QtSerialPort : public SerialPort {
    Q_OBJECT
public:
    explicit QtSerialPort(QObject *parent = nullptr);
    ~QtSerialPort() override;

    using SerialPort::open;
    bool open(QString *error = nullptr) override;
    void close() override;
    bool isOpen() const override;
    bool write(const QByteArray &frame) override;
    int bytesWaiting() const override;
    QByteArray read(int max) override;
    qint64 droppedBytes() const override { return m_in.dropped(); }

private:
    // Moves what QSerialPort holds into m_in; returns the number of bytes kept.
    qsizetype pull();
    void takeReceived();
    void onError(QSerialPort::SerialPortError error);
    void fail(const QString &error);
    bool openPastStaleLock(const QString &device);
    void watchDevice(const QString &device);
    void stopWatching();
    void checkLine();
    void checkNode();

    QSerialPort m_port;
    ReceiveBuffer m_in; // what came in, moved out of the port as it arrives
    bool m_failing = false;
    QString m_device;
    // Another name for the device, used only while a dead process's lock file that we may
    // not remove is in the way.
    std::unique_ptr<QTemporaryDir> m_alias;
    // A second descriptor of the open device, polled only for its hang-up.
    int m_watchFd = -1;
    std::unique_ptr<QSocketNotifier> m_hangup;
    QTimer m_rearm;             // the watch sleeps while bytes wait for QSerialPort
    QFileSystemWatcher m_node;  // the device's folder, for a node that is removed
};

} // namespace zorv
