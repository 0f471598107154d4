#include "readerlink.h"

#include "clock.h"
#include "serialport.h"

#include <QEventLoop>

#include <memory>

namespace zorv::reader {

namespace {
qint64 now()
{
    return zorv::clock().elapsedMs();
}
} // namespace

ReaderLink::ReaderLink(SerialPort *port, QObject *parent) : QObject(parent)
{
    m_deadline.setSingleShot(true);
    m_deadline.setTimerType(Qt::PreciseTimer);
    connect(&m_deadline, &QTimer::timeout, this, [this] {
        pump();
        if (m_waiting)
            armDeadline();
    });
    setPort(port);
}

ReaderLink::~ReaderLink() = default;

void ReaderLink::setPort(SerialPort *port)
{
    if (m_port)
        disconnect(m_port, nullptr, this, nullptr);
    cancel();
    m_port = port;
    if (!port)
        return;
    port->setReadBufferLimit(ReadBufferLimit);
    connect(port, &SerialPort::readyRead, this, &ReaderLink::pump);
    connect(port, &SerialPort::failed, this, &ReaderLink::onPortFailed);
    connect(port, &SerialPort::closed, this, &ReaderLink::onPortClosed);
}

void ReaderLink::svuotabuffer()
{
    if (!m_port)
        return;
    const int n = m_port->inBufferCount();
    m_port->setInputLen(n);
    m_port->input();
}

bool ReaderLink::send(const QByteArray &text)
{
    if (!m_port || !m_port->isOpen())
        return false;
    return m_port->write(text + CR);
}

void ReaderLink::beginOp(std::function<void(Reply)> onEnd)
{
    m_busy = true;
    ++m_op;
    m_onEnd = std::move(onEnd);
    m_failure.clear();
    emit busyChanged(true);
}

void ReaderLink::endOp(const Reply &reply)
{
    if (!m_busy)
        return;
    m_busy = false;
    m_waiting = false;
    m_deadline.stop();
    m_then = {};
    auto deliver = std::move(m_onEnd);
    m_onEnd = {};
    emit busyChanged(false);
    if (deliver)
        QMetaObject::invokeMethod(this, [deliver, reply] { deliver(reply); }, Qt::QueuedConnection);
}

bool ReaderLink::startWait(qint64 deadlineMs, std::function<void(const Reply &)> then)
{
    m_waiting = true;
    m_text.clear();
    m_waitDeadline = deadlineMs;
    m_then = std::move(then);
    armDeadline();
    // Bytes that were already waiting are read from the event loop, like new ones.
    if (!m_pumpQueued) {
        m_pumpQueued = true;
        QMetaObject::invokeMethod(this, [this] {
            m_pumpQueued = false;
            pump();
        }, Qt::QueuedConnection);
    }
    return true;
}

void ReaderLink::finishWait(const Reply &reply)
{
    m_waiting = false;
    m_deadline.stop();
    auto then = std::move(m_then);
    m_then = {};
    if (then)
        then(reply);
}

void ReaderLink::armDeadline()
{
    if (m_waitDeadline == NoDeadline) {
        m_deadline.stop();
        return;
    }
    const qint64 left = m_waitDeadline - now();
    m_deadline.start(int(qBound(qint64(0), left, qint64(24 * 3600 * 1000))));
}

void ReaderLink::recheckDeadline()
{
    pump();
    if (m_waiting)
        armDeadline();
}

void ReaderLink::pump()
{
    // One character at a time, testing the deadline before each, so that a reply that comes
    // too late stays in the buffer and what follows a CR is left for the next reader.
    while (m_waiting) {
        if (m_waitDeadline != NoDeadline && now() >= m_waitDeadline) {
            finishWait({Reply::TimedOut, m_text, {}});
            return;
        }
        if (!m_port || !m_port->isOpen() || m_port->inBufferCount() < 1)
            return;
        m_port->setInputLen(1);
        const QByteArray c = m_port->input();
        if (c.isEmpty())
            return;
        if (c.at(0) == CR) {
            finishWait({Reply::Complete, m_text, {}});
            return;
        }
        m_text.append(c);
    }
}

void ReaderLink::onPortFailed(const QString &error)
{
    m_failure = error;
    if (m_busy)
        endOp({Reply::Failed, m_text, error});
}

void ReaderLink::onPortClosed()
{
    if (m_busy)
        endOp({m_failure.isEmpty() ? Reply::Closed : Reply::Failed, m_text, m_failure});
}

void ReaderLink::cancel()
{
    if (m_busy)
        endOp({Reply::Cancelled, m_text, {}});
}

bool ReaderLink::awaitReply(qint64 deadlineMs, Done done)
{
    if (m_busy)
        return false;
    beginOp(std::move(done));
    if (!m_port || !m_port->isOpen()) {
        endOp({Reply::NotSent, {}, QStringLiteral("port not open")});
        return true;
    }
    startWait(deadlineMs, [this](const Reply &r) { endOp(r); });
    return true;
}

bool ReaderLink::exchange(const QByteArray &command, bool flush, Done done)
{
    if (m_busy)
        return false;
    beginOp(std::move(done));
    if (flush)
        svuotabuffer();
    if (!send(command)) {
        endOp({Reply::NotSent, {}, QStringLiteral("port not open")});
        return true;
    }
    startWait(now() + ReplyTimeoutMs, [this](const Reply &r) { endOp(r); });
    return true;
}

bool ReaderLink::twoPhase(const QByteArray &command, const QByteArray &prompt, const QByteArray &payload,
                          TwoPhaseMode mode, TwoPhaseDone done)
{
    if (m_busy)
        return false;
    auto matched = std::make_shared<bool>(false);
    beginOp([done = std::move(done), matched](const Reply &r) { done({r, *matched}); });
    const quint64 op = m_op;
    const bool normal = mode == TwoPhaseMode::Normal;
    auto alive = [this, op] { return m_busy && m_op == op; };

    if (normal)
        svuotabuffer();
    if (!send(command)) {
        endOp({Reply::NotSent, {}, QStringLiteral("port not open")});
        return true;
    }
    const qint64 firstDeadline = now() + ReplyTimeoutMs;
    startWait(firstDeadline, [=, this](const Reply &first) {
        if (!first.complete() || first.text != prompt) {
            endOp(first);
            return;
        }
        *matched = true;
        if (normal)
            svuotabuffer();
        QTimer::singleShot(PhasePauseMs, this, [=, this] {
            if (!alive())
                return;
            if (!send(payload)) {
                endOp({Reply::NotSent, {}, QStringLiteral("port not open")});
                return;
            }
            if (!normal) {
                startWait(firstDeadline, [this](const Reply &r) { endOp(r); });
                return;
            }
            QTimer::singleShot(PhasePauseMs, this, [=, this] {
                if (!alive())
                    return;
                startWait(now() + ReplyTimeoutMs, [this](const Reply &r) { endOp(r); });
            });
        });
    });
    return true;
}

bool ReaderLink::readLines(const QByteArray &command, int count, bool flush, LineSeen onLine, Done done)
{
    if (m_busy)
        return false;
    beginOp(std::move(done));
    const quint64 op = m_op;
    if (flush)
        svuotabuffer();
    if (!send(command)) {
        endOp({Reply::NotSent, {}, QStringLiteral("port not open")});
        return true;
    }
    const qint64 deadline = now() + ReplyTimeoutMs;
    auto n = std::make_shared<int>(1);
    auto next = std::make_shared<std::function<void(const Reply &)>>();
    // The pending wait holds the continuation; the continuation sees itself only weakly.
    std::weak_ptr<std::function<void(const Reply &)>> self = next;
    *next = [=, this](const Reply &r) {
        if (!r.complete()) {
            endOp(r);
            return;
        }
        if (onLine)
            onLine(*n, r.text);
        if (!(m_busy && m_op == op))
            return;
        if (*n >= count) {
            endOp(r);
            return;
        }
        ++*n;
        if (auto again = self.lock())
            startWait(deadline, [again](const Reply &line) { (*again)(line); });
    };
    startWait(deadline, [next](const Reply &r) { (*next)(r); });
    return true;
}

namespace {
template <class R, class Start>
R runLocally(ReaderLink *link, R busy, Start start)
{
    QEventLoop loop;
    R out = busy;
    bool finished = false;
    QObject::connect(link, &QObject::destroyed, &loop, &QEventLoop::quit);
    const bool started = start([&](const R &r) {
        out = r;
        finished = true;
        loop.quit();
    });
    if (!started)
        return busy;
    if (!finished)
        loop.exec();
    return out;
}
} // namespace

Reply ReaderLink::exchangeAndWait(const QByteArray &command, bool flush)
{
    return runLocally<Reply>(this, Reply{Reply::NotSent, {}, QStringLiteral("busy")},
                             [&](auto done) { return exchange(command, flush, done); });
}

TwoPhaseResult ReaderLink::twoPhaseAndWait(const QByteArray &command, const QByteArray &prompt,
                                           const QByteArray &payload, TwoPhaseMode mode)
{
    return runLocally<TwoPhaseResult>(this, TwoPhaseResult{{Reply::NotSent, {}, QStringLiteral("busy")}, false},
                                      [&](auto done) { return twoPhase(command, prompt, payload, mode, done); });
}

Reply ReaderLink::awaitReplyAndWait(qint64 deadlineMs)
{
    return runLocally<Reply>(this, Reply{Reply::NotSent, {}, QStringLiteral("busy")},
                             [&](auto done) { return awaitReply(deadlineMs, done); });
}

} // namespace zorv::reader
