#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <functional>

namespace zorv {
class SerialPort;
}

namespace zorv::stations {

// The reader's line as a station holds it. The station's read loop takes received
// bytes when it is ready for them; bytes it has not taken stay queued in their order.
// A reply wait (after a relay frame) takes the next CR-ended line that arrives after its
// frame was sent; bytes received before the send stay for the loop, and so does a card
// line (12 characters and CR) that comes during the wait: a card presented meanwhile is
// neither lost nor taken for the answer, and is handled after the wait, in its order.
class StationPort : public QObject {
    Q_OBJECT
public:
    // The port is created through SerialPort::create() on first use.
    explicit StationPort(QObject *parent = nullptr);
    ~StationPort() override;

    SerialPort &Comm1();

    bool open(QString *error = nullptr);
    bool isOpen() const;

    // The bytes waiting for the read loop, in order (empty when none is); the loop says
    // how many it used with consume(). Valid until the next call on the port.
    QByteArrayView pending();
    void consume(qsizetype n);

    // Writes one frame; false when the port is closed or the write failed.
    bool send(const QByteArray &frame);

    // Sends `frame` and waits up to `limitMs` for the reader's CR-ended answer:
    // done(true, answer) or done(false, {}) on time-out or when the frame cannot be sent.
    void sendAndWait(const QByteArray &frame, std::function<void(bool answered, QByteArray answer)> done,
                     int limitMs = kReplyLimitMs);
    bool waiting() const { return !m_waiters.isEmpty(); }

    static constexpr int kReplyLimitMs = 5000;

signals:
    // Bytes are waiting for the read loop.
    void bytesForLoop();
    // The port failed (device gone) and is closed now.
    void failed(const QString &error);

private:
    struct Waiter;
    void onReadyRead();
    void timedOut(Waiter *w);
    void finishWaiter(Waiter *w, bool answered, const QByteArray &reply);
    void forLoop(QByteArrayView bytes);

    QPointer<SerialPort> m_port;
    QByteArray m_backlog; // bytes read from the port that belong to the loop
    qsizetype m_used = 0; // how many of them the loop has used
    QList<Waiter *> m_waiters;
};

// Frames of the reader for the stations.
QByteArray frameRele(int relay, int timeByte); // "C0"/"B3", time byte, "1", CR
QByteArray frameBuzzer(int frequency, int time); // "BZ", frequency, time, CR

inline constexpr char kTimeoutMessage[] = "Timeout No answer from Zorv900";

// `inviarele1` / `inviarele2`: the relay frame with the time byte of `tempoRele` used
// unchanged, then the answer wait; on time-out the message box, then done(). A time
// byte outside 0-255 or a closed port send nothing; `problem` (when given) gets why.
void inviarele(StationPort &port, int relay, const QByteArray &tempoRele, std::function<void()> done,
               std::function<void(const QString &)> problem = {});

} // namespace zorv::stations
