#pragma once

#include "service.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QObject>
#include <QString>

namespace zorv {

// Received bytes waiting to be read, oldest first, at most `limit` of them (0: no limit).
// Bytes that arrive while it is full are dropped, so the oldest ones (a late reply) stay.
class ReceiveBuffer {
public:
    void setLimit(qsizetype bytes) { m_limit = qMax<qsizetype>(0, bytes); }
    qsizetype limit() const { return m_limit; }
    // Keeps what fits and drops the rest; returns the number of bytes kept.
    qsizetype append(QByteArrayView bytes);
    // Removes and returns up to `max` bytes.
    QByteArray take(qsizetype max);
    qsizetype size() const { return m_data.size() - m_head; }
    void clear();
    // Bytes dropped because the buffer was full, since it was made.
    qint64 dropped() const { return m_dropped; }

private:
    QByteArray m_data;
    qsizetype m_head = 0; // bytes before it have been taken
    qsizetype m_limit = 0;
    qint64 m_dropped = 0;
};

// A serial line to the reader. It stands in for the port control of the old programs:
// line settings ("9600,n,8,1"), a COM number, open/close, one write per frame, the count
// of waiting bytes, and reads of at most `inputLen` bytes. Bytes are bytes: every value
// 0..255 goes out and comes back unchanged.
//
// Reading is driven by `readyRead()`; nothing polls. A slot that runs an event loop of
// its own (a message box) may get `readyRead()` again from inside it, or, from some ports,
// no signal at all for what came meanwhile: once such a slot is done, what is waiting is
// read without waiting for one. A device that goes away while open is reported once with
// `failed()`, after which the port is closed (and `closed()` sent).
class SerialPort : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~SerialPort() override = default;

    // "speed,parity,data bits,stop bits", e.g. "9600,n,8,1"; set before opening.
    void setSettings(const QString &settings) { m_settings = settings; }
    QString settings() const { return m_settings; }
    // COM n; set before opening.
    void setCommPort(int n) { m_commPort = n; }
    int commPort() const { return m_commPort; }

    // Opens COM commPort() with settings(); on failure returns false with the reason.
    virtual bool open(QString *error = nullptr) = 0;
    bool open(int commPort, const QString &settings, QString *error = nullptr)
    {
        setSettings(settings);
        setCommPort(commPort);
        return open(error);
    }
    // Closes the port; harmless when it is not open. Sends `closed()` when it was open.
    virtual void close() = 0;
    virtual bool isOpen() const = 0;

    // Writes one whole frame at once; false when the port is not open or the write failed
    // (a failed write also ends in `failed()`).
    virtual bool write(const QByteArray &frame) = 0;

    // Number of received bytes waiting to be read.
    virtual int bytesWaiting() const = 0;
    int inBufferCount() const { return bytesWaiting(); }
    // Removes and returns up to `max` waiting bytes (none when max < 1).
    virtual QByteArray read(int max) = 0;
    QByteArray readAll() { return read(bytesWaiting()); }

    // At most this many received bytes wait to be read (0: no limit): what arrives while
    // that many wait is read from the device and dropped, so a line that keeps sending
    // while nobody reads cannot grow memory. The bytes that came first are the ones kept.
    void setReadBufferLimit(qsizetype bytes) { m_readBufferLimit = qMax<qsizetype>(0, bytes); }
    qsizetype readBufferLimit() const { return m_readBufferLimit; }
    // Bytes dropped so far because the limit was reached.
    virtual qint64 droppedBytes() const { return 0; }

    // The old control's way of reading: `input()` returns at most `inputLen()` bytes.
    void setInputLen(int n) { m_inputLen = n; }
    int inputLen() const { return m_inputLen; }
    QByteArray input() { return read(m_inputLen); }

    // A new port from the installed Maker<SerialPort>: the real port in the programs, a
    // fake in tests.
    static SerialPort *create(QObject *parent = nullptr) { return Service<Maker<SerialPort>>::get().make(parent); }

    // The device file behind COM n: ${XDG_CONFIG_HOME:-$HOME/.config}/zorv900/com<n> when
    // that exists (a link to /dev/ttyUSB0, a pseudo-terminal, ...; also when the link is
    // dangling), else /dev/ttyS<n-1>.
    static QString devicePath(int commPort);

    struct LineSettings {
        int baud = 9600;
        char parity = 'n'; // n, e, o, m, s
        int dataBits = 8;
        int stopBits = 1;
    };
    // Parses "9600,n,8,1" (case of the parity letter ignored); false when malformed.
    static bool parseSettings(const QString &text, LineSettings *out);

signals:
    // New bytes are waiting.
    void readyRead();
    // The device went away or stopped working; sent once, the port is closed afterwards.
    void failed(const QString &error);
    // The port was open and is now closed (by close() or after a failure).
    void closed();

private:
    QString m_settings = QStringLiteral("9600,N,8,1");
    int m_commPort = 1;
    int m_inputLen = 0;
    qsizetype m_readBufferLimit = 0;
};

} // namespace zorv
