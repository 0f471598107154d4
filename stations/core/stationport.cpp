#include "stationport.h"

#include "frames.h"
#include "messages.h"
#include "portacfg.h"
#include "serialport.h"

namespace zorv::stations {

struct StationPort::Waiter {
    QByteArray reply;
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

bool StationPort::takeByte(char *c)
{
    if (!m_backlog.isEmpty()) {
        *c = m_backlog.front();
        m_backlog.remove(0, 1);
        return true;
    }
    // While a reply is awaited, new bytes are the reply's.
    if (!m_waiters.isEmpty() || !m_port)
        return false;
    const QByteArray one = m_port->read(1);
    if (one.isEmpty())
        return false;
    *c = one.front();
    return true;
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
        m_backlog += m_port->readAll();
    if (!send(frame)) {
        QTimer::singleShot(0, this, [done = std::move(done)] { done(false, {}); });
        return;
    }
    auto *w = new Waiter;
    w->done = std::move(done);
    w->deadline.setSingleShot(true);
    w->deadline.setTimerType(Qt::PreciseTimer); // a coarse timer may end the wait early
    connect(&w->deadline, &QTimer::timeout, this, [this, w] { finishWaiter(w, false); });
    w->deadline.start(limitMs);
    m_waiters.append(w);
    if (m_port->bytesWaiting() > 0)
        QTimer::singleShot(0, this, &StationPort::onReadyRead);
}

void StationPort::finishWaiter(Waiter *w, bool answered)
{
    if (!m_waiters.removeOne(w))
        return;
    w->deadline.stop();
    auto done = std::move(w->done);
    const QByteArray reply = w->reply;
    QTimer::singleShot(0, this, [w] { delete w; });
    // The loop may go on with what it had waiting.
    if (m_waiters.isEmpty() && (m_port && (m_port->bytesWaiting() > 0 || !m_backlog.isEmpty())))
        QTimer::singleShot(0, this, &StationPort::bytesForLoop);
    done(answered, reply);
}

void StationPort::onReadyRead()
{
    if (!m_port)
        return;
    while (!m_waiters.isEmpty()) {
        const QByteArray one = m_port->read(1);
        if (one.isEmpty())
            return;
        Waiter *w = m_waiters.front();
        if (one.front() == '\r')
            finishWaiter(w, true);
        else
            w->reply += one;
    }
    if (m_port->bytesWaiting() > 0 || !m_backlog.isEmpty())
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
