#pragma once

#include "frames.h"
#include "serialport.h"

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <functional>

namespace zorv::reader {

// Every reply wait ends 5 s after its send, counted once for the whole reply.
constexpr int ReplyTimeoutMs = 5000;
// Pause around the payload of a two-phase exchange.
constexpr int PhasePauseMs = 10;
// A wait without a deadline (line monitors).
constexpr qint64 NoDeadline = -1;
// Bytes kept waiting between commands: far more than any reply or late reply (the ten
// lines of "Read all Cards" are under 200 bytes; at 9600 baud this is over a minute of
// talk), and a bound on memory when the line keeps sending while nobody reads.
constexpr qsizetype ReadBufferLimit = 64 * 1024;

// The outcome of one reply wait.
struct Reply {
    enum Status {
        Complete,  // a CR came in time; `text` is everything before it (LF kept)
        TimedOut,  // the deadline passed first; what came so far is in `text`, dropped
        Cancelled, // cancel() was called
        Closed,    // the port was closed during the wait (Disconnect, Quit)
        Failed,    // the device went away; `error` tells why
        NotSent,   // the port was not open, or the write failed
    };
    Status status = TimedOut;
    QByteArray text;
    QString error;

    bool complete() const { return status == Complete; }
};

// A two-phase exchange: `reply` is the phase-2 reply, or the phase-1 reply when that was
// not the prompt (`promptMatched` false; no payload was sent then).
struct TwoPhaseResult {
    Reply reply;
    bool promptMatched = false;
};

// The byte-level conversation with the reader on one serial port. All waits are driven by
// the port's data signal and one deadline timer on the monotonic clock (zorv::clock());
// nothing polls, and the event loop runs freely during a wait.
//
// Only one operation runs at a time: starting one while another runs returns false and
// does nothing. Each started operation calls its `done` exactly once, always from the event
// loop, never from inside the call that started it (unless the link is destroyed first).
// A reply that arrives after a time-out, or an unsolicited line, stays in the port's buffer
// for the next command, up to ReadBufferLimit bytes: the link sets that limit on its port.
class ReaderLink : public QObject {
    Q_OBJECT
public:
    using Done = std::function<void(const Reply &)>;
    using TwoPhaseDone = std::function<void(const TwoPhaseResult &)>;
    using LineSeen = std::function<void(int n, const QByteArray &line)>;

    enum class TwoPhaseMode {
        // STOR, STOC, DECA: flush before each phase, 10 ms before and after the payload,
        // a fresh 5 s window from the payload's send.
        Normal,
        // RDCA: no flush at all, 10 ms before the payload only, and the phase-2 wait ends
        // 5 s after the first send.
        ReadCard,
    };

    explicit ReaderLink(SerialPort *port, QObject *parent = nullptr);
    ~ReaderLink() override;

    SerialPort *port() const { return m_port; }
    void setPort(SerialPort *port);

    // Drops every byte waiting at this moment.
    void svuotabuffer();
    // Writes `text` & CR in one write; false when the port is not open or the write failed.
    bool send(const QByteArray &text);

    // Waits for one reply line until `deadlineMs` on zorv::clock().elapsedMs() (or forever
    // with NoDeadline). Bytes already waiting count.
    bool awaitReply(qint64 deadlineMs, Done done);

    // One-phase exchange: [flush,] send `command`, wait 5 s from the send.
    bool exchange(const QByteArray &command, bool flush, Done done);

    // Two-phase exchange: send `command`; when its reply is exactly `prompt`, send `payload`
    // and wait for the reply to that.
    bool twoPhase(const QByteArray &command, const QByteArray &prompt, const QByteArray &payload,
                  TwoPhaseMode mode, TwoPhaseDone done);

    // [flush,] send `command`, then read `count` lines within one window of 5 s from the
    // send. `onLine` sees each line as it completes (n counted from 1); `done` gets the
    // last line as Complete after the count-th, or TimedOut/Closed/... before that.
    bool readLines(const QByteArray &command, int count, bool flush, LineSeen onLine, Done done);

    bool isBusy() const { return m_busy; }
    // Ends the running operation at once; its `done` gets Cancelled.
    void cancel();

    // Blocking forms for code that wants the reply in line: run a local event loop (the
    // windows stay live) until the operation ends.
    Reply exchangeAndWait(const QByteArray &command, bool flush);
    TwoPhaseResult twoPhaseAndWait(const QByteArray &command, const QByteArray &prompt,
                                   const QByteArray &payload, TwoPhaseMode mode);
    Reply awaitReplyAndWait(qint64 deadlineMs);

    // Re-tests the deadline now (for tests that move a FakeClock by hand).
    void recheckDeadline();

signals:
    // An operation started (before its first send) / ended (before its `done`).
    void busyChanged(bool busy);

private:
    struct Wait;
    void beginOp(std::function<void(Reply)> onEnd);
    void endOp(const Reply &reply);
    bool startWait(qint64 deadlineMs, std::function<void(const Reply &)> then);
    void finishWait(const Reply &reply);
    void pump();
    void armDeadline();
    void onPortClosed();
    void onPortFailed(const QString &error);

    QPointer<SerialPort> m_port;
    QTimer m_deadline;
    bool m_busy = false;
    quint64 m_op = 0;
    std::function<void(Reply)> m_onEnd; // delivers the running operation's result

    bool m_waiting = false;
    qint64 m_waitDeadline = NoDeadline;
    QByteArray m_text;
    std::function<void(const Reply &)> m_then;
    QString m_failure;
    bool m_pumpQueued = false;
};

} // namespace zorv::reader
