#include "stationport.h"

#include "frames.h"
#include "messages.h"
#include "portacfg.h"
#include "serialport.h"
#include "rigalettore.h"

#include <memory>

namespace zorv::stations {

namespace {

// How much is read from the port at a time.
constexpr int kBlocco = 64 * 1024;

} // namespace

struct StationPort::Waiter {
    reader::RigaLettore riga;
    QTimer deadline;
    std::function<void(bool, QByteArray)> done;
};

StationPort::StationPort(QObject *parent) : QObject(parent) {}

StationPort::~StationPort()
{
    qDeleteAll(m_waiters);
}

SerialPort &StationPort::Comm1()
{
    if (!m_port) {
        m_port = SerialPort::create(this);
        connect(m_port, &SerialPort::readyRead, this, &StationPort::onReadyRead);
        connect(m_port, &SerialPort::failed, this, &StationPort::failed);
    }
    return *m_port;
}

bool StationPort::open(QString *error)
{
    return Comm1().open(error);
}

bool StationPort::isOpen() const
{
    return m_port && m_port->isOpen();
}

QByteArrayView StationPort::pending()
{
    if (m_used == m_backlog.size()) {
        m_backlog.clear();
        m_used = 0;
        // While a reply is awaited, new bytes are the reply's.
        if (m_waiters.isEmpty() && m_port)
            m_backlog = m_port->read(qMin(kBlocco, m_port->bytesWaiting()));
    }
    return QByteArrayView(m_backlog).sliced(m_used);
}

void StationPort::consume(qsizetype n)
{
    m_used = qBound(qsizetype(0), m_used + n, m_backlog.size());
}

void StationPort::forLoop(QByteArrayView bytes)
{
    if (bytes.isEmpty())
        return;
    if (m_used > 0) {
        m_backlog.remove(0, m_used);
        m_used = 0;
    }
    m_backlog.append(bytes);
}

bool StationPort::send(const QByteArray &frame)
{
    return m_port && m_port->write(frame);
}

void StationPort::sendAndWait(const QByteArray &frame, std::function<void(bool, QByteArray)> done, int limitMs)
{
    Comm1();
    // What came before the send is not the answer: it stays for the read loop.
    if (m_waiters.isEmpty())
        forLoop(m_port->readAll());
    if (!send(frame)) {
        QTimer::singleShot(0, this, [done = std::move(done)] { done(false, {}); });
        return;
    }
    auto *w = new Waiter;
    w->done = std::move(done);
    w->deadline.setSingleShot(true);
    w->deadline.setTimerType(Qt::PreciseTimer); // a coarse timer may end the wait early
    connect(&w->deadline, &QTimer::timeout, this, [this, w] { timedOut(w); });
    w->deadline.start(limitMs);
    m_waiters.append(w);
    if (m_port->bytesWaiting() > 0)
        QTimer::singleShot(0, this, &StationPort::onReadyRead);
}

void StationPort::timedOut(Waiter *w)
{
    const bool first = !m_waiters.isEmpty() && m_waiters.front() == w;
    if (!m_waiters.removeOne(w))
        return;
    // What had come of a line (a card half read, perhaps) is not lost with the wait: it
    // is the start of the next wait's answer, or of the loop's next line.
    if (first) {
        if (!m_waiters.isEmpty())
            m_waiters.front()->riga.aggiungi(w->riga.parziale());
        else
            forLoop(w->riga.parziale());
    }
    finishWaiter(w, false, {});
}

void StationPort::finishWaiter(Waiter *w, bool answered, const QByteArray &reply)
{
    w->deadline.stop();
    auto done = std::move(w->done);
    // Deleted with the queued call once it is done with, run or dropped (the port gone first).
    QTimer::singleShot(0, this, [gone = std::shared_ptr<Waiter>(w)] {});
    // The loop may go on with what it had waiting.
    if (m_waiters.isEmpty() && m_port && (m_port->bytesWaiting() > 0 || m_used < m_backlog.size()))
        QTimer::singleShot(0, this, &StationPort::bytesForLoop);
    done(answered, reply);
}

void StationPort::onReadyRead()
{
    if (!m_port)
        return;
    QList<std::pair<Waiter *, QByteArray>> answered;
    while (!m_waiters.isEmpty()) {
        const QByteArray block = m_port->read(qMin(kBlocco, m_port->bytesWaiting()));
        if (block.isEmpty())
            break;
        QByteArrayView rest(block);
        while (!rest.isEmpty() && !m_waiters.isEmpty()) {
            Waiter *w = m_waiters.front();
            rest = rest.sliced(w->riga.aggiungi(rest));
            if (!w->riga.completa())
                continue;
            QByteArray line = w->riga.prendi();
            // A card presented during the wait is the loop's, after the wait.
            if (reader::formaCarta(line)) {
                forLoop(line);
                continue;
            }
            line.chop(1);
            m_waiters.removeFirst();
            answered.append({w, line});
        }
        // Past the last answer: the loop's.
        forLoop(rest);
    }
    // Answered only now, when every byte read has its place.
    for (const auto &[w, reply] : answered)
        finishWaiter(w, true, reply);
    if (m_waiters.isEmpty() && (m_port->bytesWaiting() > 0 || m_used < m_backlog.size()))
        emit bytesForLoop();
}

QByteArray frameRele(int relay, int timeByte)
{
    return reader::relayFrameByte(relay == 2 ? 2 : 1, quint8(timeByte)) + reader::CR;
}

QByteArray frameBuzzer(int frequency, int time)
{
    return reader::buzzerFrame(quint8(frequency), quint8(time)) + reader::CR;
}

void inviarele(StationPort &port, int relay, const QByteArray &tempoRele, std::function<void()> done,
               std::function<void(const QString &)> problem)
{
    const auto t = byteTempo(tempoRele);
    if (!t) {
        if (problem)
            problem(QStringLiteral("Tempo relè fuori dai limiti 0-255: relè %1 non comandato").arg(relay));
        QTimer::singleShot(0, &port, std::move(done));
        return;
    }
    if (!port.isOpen()) {
        if (problem)
            problem(QStringLiteral("Porta COM chiusa: relè %1 non comandato").arg(relay));
        QTimer::singleShot(0, &port, std::move(done));
        return;
    }
    port.sendAndWait(frameRele(relay, *t), [done = std::move(done)](bool answered, const QByteArray &) {
        if (!answered)
            messages().msgBox(QString::fromLatin1(kTimeoutMessage), style::Ok);
        if (done)
            done();
    });
}

} // namespace zorv::stations
