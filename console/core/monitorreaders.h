#pragma once

#include "rigalettore.h"

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QTimer>

namespace zorv {
class SerialPort;
}

// The two readers behind the console's monitors. Both are driven by the port's
// readyRead() and, for the port status, by one deadline timer: nothing polls, and an
// idle monitor uses no processor time. The port status takes one byte at a time from the
// port, the line monitor at most a line's worth, so what they do not take stays waiting
// there for the console's next flush.
namespace zorv::console {

// Asks the reader for the status of its ports (GTAP) and hands over each line of the
// answer as a row: nine spaces and the line. Every line must arrive complete within one
// second of the moment the wait for it began (the send for the first line, the previous
// row for the others); the first line that does not ends the read, and what was gathered
// of it is dropped. Elapsed time comes from zorv::clock().
class PortStatusReader : public QObject {
    Q_OBJECT
public:
    static constexpr qint64 kLineWaitMs = 1000;
    static inline const QByteArray kRowIndent = QByteArray(9, ' ');

    explicit PortStatusReader(SerialPort *port, QObject *parent = nullptr);

    // Sends GTAP and starts the wait for the first line.
    void start();
    // Nothing more is read or handed over.
    void stop();
    // Nothing more is handed over, but the rest of the answer is still read and dropped
    // until the one-second rule ends the read, so that it cannot pass for the reply to
    // the next command (the window has been closed while the answer was coming).
    void discardRest();
    bool isRunning() const { return m_running; }
    bool isDiscarding() const { return m_running && m_discarding; }

    // Ends the read when the line wait has run out; the deadline timer calls it.
    void checkDeadline();

signals:
    void rowReady(const QByteArray &row);
    // The read has ended, by the one-second rule or by stop().
    void finished();

private:
    void readWaiting();
    bool expired() const;
    void armDeadline();
    void finish();

    QPointer<SerialPort> m_port;
    QTimer m_deadline;
    QByteArray m_line;
    qint64 m_t0 = 0;
    bool m_running = false;
    bool m_discarding = false;
};

// Gathers the lines that the reader sends on its own. A line is handed over with its
// CR once the CR has arrived, unless the stop flag is set by then; a line still
// incomplete when the monitor stops is dropped. Runs without a CR are dropped and noted
// as the stations drop them (RigaLettore), so a line that never ends holds no memory.
class LineMonitor : public QObject {
    Q_OBJECT
public:
    // stopFlag: the monitor stops when it becomes 1 (the RX window's FermaRx).
    LineMonitor(SerialPort *port, const int &stopFlag, QObject *parent = nullptr);

    void start();
    void stop();
    bool isRunning() const { return m_running; }
    // The part of a line received so far.
    const QByteArray &pending() const { return m_riga.parziale(); }

    // Takes what is waiting now; readyRead() calls it.
    void readWaiting();

signals:
    void lineReady(const QByteArray &lineWithCr);
    // Garbage was dropped: the note for the log.
    void noiseDropped(const QString &note);
    void finished();

private:
    bool stopRequested() const { return m_stopFlag == 1; }
    void finish();

    QPointer<SerialPort> m_port;
    const int &m_stopFlag;
    reader::RigaLettore m_riga;
    QByteArray m_read;      // read from the port, not yet taken by m_riga
    bool m_running = false;
};

} // namespace zorv::console
