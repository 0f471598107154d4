#include "portalkeystrokes.h"

#include "items.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QTimer>

namespace zorv {

PortalKeystrokes::PortalKeystrokes(RemoteDesktopPortal &portal, QString tokenPath, QObject *parent)
    : QObject(parent), m_portal(portal), m_tokenPath(std::move(tokenPath))
{
    m_portal.sessionClosed = [guard = QPointer<PortalKeystrokes>(this)](const QString &session) {
        if (guard)
            guard->closedByDesktop(session);
    };
}

PortalKeystrokes::~PortalKeystrokes()
{
    m_portal.sessionClosed = nullptr;
    if (!m_session.isEmpty())
        m_portal.closeSession(m_session);
}

void PortalKeystrokes::prepare(std::function<void(bool ok)> done)
{
    if (m_state == State::Open) {
        if (done)
            done(true);
        return;
    }
    if (done)
        m_waiting.append(std::move(done));
    if (m_state == State::Closed)
        open();
}

void PortalKeystrokes::open()
{
    m_state = State::Opening;
    const int attempt = ++m_attempt;
    QPointer<PortalKeystrokes> guard(this);
    m_portal.createSession([guard, attempt](const RemoteDesktopPortal::Reply &reply) {
        if (!guard || guard->m_attempt != attempt)
            return;
        if (reply.outcome != RemoteDesktopPortal::Outcome::Ok) {
            guard->fail(reply);
            return;
        }
        guard->m_session = reply.results.value(QStringLiteral("session_handle")).toString();
        QVariantMap options{{QStringLiteral("types"), QVariant::fromValue(kKeyboard)}};
        if (guard->m_portal.version() >= 2) {
            options.insert(QStringLiteral("persist_mode"), QVariant::fromValue(kPersistUntilRevoked));
            const QString token = guard->storedToken();
            if (!token.isEmpty())
                options.insert(QStringLiteral("restore_token"), token);
        }
        guard->m_portal.selectDevices(guard->m_session, options, [guard, attempt](const RemoteDesktopPortal::Reply &r) {
            if (guard)
                guard->selected(attempt, r);
        });
    });
}

void PortalKeystrokes::selected(int attempt, const RemoteDesktopPortal::Reply &reply)
{
    if (m_attempt != attempt)
        return;
    if (reply.outcome != RemoteDesktopPortal::Outcome::Ok) {
        fail(reply);
        return;
    }
    QPointer<PortalKeystrokes> guard(this);
    m_portal.start(m_session, [guard, attempt](const RemoteDesktopPortal::Reply &r) {
        if (guard)
            guard->started(attempt, r);
    });
}

void PortalKeystrokes::started(int attempt, const RemoteDesktopPortal::Reply &reply)
{
    if (m_attempt != attempt)
        return;
    if (reply.outcome != RemoteDesktopPortal::Outcome::Ok) {
        fail(reply);
        return;
    }
    // The token is good for one start only: the next one comes with this session.
    const QString token = reply.results.value(QStringLiteral("restore_token")).toString();
    if (!token.isEmpty())
        storeToken(token);
    const QVariant devices = reply.results.value(QStringLiteral("devices"));
    if (devices.isValid() && (devices.toUInt() & kKeyboard) == 0) {
        fail({RemoteDesktopPortal::Outcome::Failed, {}, QStringLiteral("the keyboard was not among the devices allowed")});
        return;
    }
    // The compositor loses the first key of a fresh session, and keys right after the
    // dialog has gone reach no window while the focus goes back to the one it left: a
    // Shift alone, which changes nothing in the receiving window, and a pause.
    m_portal.keysym(m_session, kShiftKeysym, true);
    m_portal.keysym(m_session, kShiftKeysym, false);
    QTimer::singleShot(kSettleMs, this, [this, attempt] {
        if (m_attempt != attempt || m_state != State::Opening)
            return;
        m_state = State::Open;
        finishWaiting(true);
    });
}

void PortalKeystrokes::fail(const RemoteDesktopPortal::Reply &reply)
{
    if (!m_session.isEmpty())
        m_portal.closeSession(m_session);
    m_session.clear();
    m_state = State::Closed;
    if (reply.outcome == RemoteDesktopPortal::Outcome::Refused) {
        m_error = QStringLiteral("typing into other windows was not allowed on the desktop's request "
                                 "(refused or closed); it is asked again at the next line");
    } else {
        m_error = QStringLiteral("the desktop could not open a typing session (%1); it is tried again at the next line")
                      .arg(reply.error.isEmpty() ? QStringLiteral("no reason given") : reply.error);
    }
    // Asked ahead of any line, nobody else tells the operator.
    if (m_waiting.isEmpty())
        emit notice(m_error);
    finishWaiting(false);
}

void PortalKeystrokes::finishWaiting(bool ok)
{
    const auto waiting = std::exchange(m_waiting, {});
    for (const auto &done : waiting)
        done(ok);
}

void PortalKeystrokes::closedByDesktop(const QString &session)
{
    if (m_state == State::Closed || (!session.isEmpty() && session != m_session))
        return;
    const bool wasOpen = m_state == State::Open;
    ++m_attempt; // answers still on their way belong to the session that has gone
    m_session.clear();
    m_state = State::Closed;
    m_error = QStringLiteral("the desktop ended the typing session; a new one is asked for at the next line");
    finishWaiting(false);
    if (wasOpen)
        emit notice(m_error);
}

bool PortalKeystrokes::send(unsigned long keysym)
{
    if (m_state != State::Open) {
        if (m_error.isEmpty())
            m_error = QStringLiteral("there is no typing session with the desktop");
        return false;
    }
    m_portal.keysym(m_session, quint32(keysym), true);
    m_portal.keysym(m_session, quint32(keysym), false);
    return true;
}

bool PortalKeystrokes::pressKey(Key key)
{
    return send(keysymOf(key));
}

bool PortalKeystrokes::typeChar(char32_t ch)
{
    const QList<unsigned long> syms = keysymsFor(ch);
    if (syms.isEmpty()) {
        m_error = QStringLiteral("a control character has no key");
        return false;
    }
    return send(syms.first());
}

QString PortalKeystrokes::storedToken() const
{
    QFile f(m_tokenPath);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(f.readAll()).trimmed();
}

void PortalKeystrokes::storeToken(const QString &token)
{
    // Without the file the operator is asked again next time; typing goes on.
    QDir().mkpath(QFileInfo(m_tokenPath).absolutePath());
    items::writeFileAtomically(m_tokenPath, token.toUtf8() + '\n');
}

} // namespace zorv
