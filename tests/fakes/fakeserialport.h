#pragma once

#include "serialport.h"

#include <QList>

namespace zorv {

// A serial port in memory, for tests: records every frame written and lets the test
// feed received bytes, refuse opening or pull the device away.
class FakeSerialPort : public SerialPort {
    Q_OBJECT
public:
    using SerialPort::SerialPort;

    using SerialPort::open;
    bool open(QString *error = nullptr) override;
    void close() override;
    bool isOpen() const override { return m_open; }
    bool write(const QByteArray &frame) override;
    int bytesWaiting() const override { return int(m_in.size()); }
    QByteArray read(int max) override;
    qint64 droppedBytes() const override { return m_in.dropped(); }

    // Bytes arriving from the device (beyond the read buffer limit they are dropped);
    // readyRead() follows from the event loop, but not while an earlier readyRead() is
    // still being handled: bytes that come then are signalled with the next arrival only.
    void receive(const QByteArray &bytes);
    // The device goes away: failed() once, then closed.
    void unplug(const QString &error = QStringLiteral("device removed"));

    // Opening fails with this text while it is not empty.
    QString openError;
    // Every frame written, in order, and the concatenation of them.
    QList<QByteArray> frames;
    QByteArray written() const;
    int opens = 0;
    // Called after each write (lets a test answer like a device would).
    std::function<void(const QByteArray &frame)> onWrite;

private:
    bool m_open = false;
    ReceiveBuffer m_in;
    bool m_readyQueued = false;
    bool m_emitting = false;
};

} // namespace zorv
