#pragma once

#include "serialport.h"

#include <QSerialPort>

namespace zorv {

// The serial port on a real device (or a pseudo-terminal), through Qt SerialPort.
// The modem lines are left as they are.
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

    QSerialPort m_port;
    ReceiveBuffer m_in; // what came in, moved out of the port as it arrives
    bool m_failing = false;
};

} // namespace zorv
