#include "dbusremotedesktop.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>
#include <QDBusVariant>

namespace zorv {

namespace {

const QString kService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString kInterface = QStringLiteral("org.freedesktop.portal.RemoteDesktop");
const QString kRequest = QStringLiteral("org.freedesktop.portal.Request");
const QString kSession = QStringLiteral("org.freedesktop.portal.Session");
// The version is asked once at start; a portal that is activated on that call needs a
// moment, one that does not answer at all is taken as none.
constexpr int kVersionTimeoutMs = 10000;

} // namespace

DBusRemoteDesktop::DBusRemoteDesktop(QObject *parent) : QObject(parent), m_bus(QDBusConnection::sessionBus())
{
    // ":1.42" is "1_42" in the request paths the portal makes.
    m_senderPart = m_bus.baseService().mid(1).replace(QLatin1Char('.'), QLatin1Char('_'));
    m_watcher = new QDBusServiceWatcher(kService, m_bus, QDBusServiceWatcher::WatchForUnregistration, this);
    connect(m_watcher, &QDBusServiceWatcher::serviceUnregistered, this, &DBusRemoteDesktop::portalGone);
}

DBusRemoteDesktop::~DBusRemoteDesktop() = default;

uint DBusRemoteDesktop::version()
{
    if (m_version >= 0)
        return uint(m_version);
    m_version = 0;
    if (!m_bus.isConnected())
        return 0;
    auto get = [this](const QString &property) {
        QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, QStringLiteral("org.freedesktop.DBus.Properties"),
                                                           QStringLiteral("Get"));
        call << kInterface << property;
        const QDBusMessage reply = m_bus.call(call, QDBus::Block, kVersionTimeoutMs);
        if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
            return QVariant();
        return reply.arguments().first().value<QDBusVariant>().variant();
    };
    const QVariant v = get(QStringLiteral("version"));
    if (!v.isValid())
        return 0;
    // A portal whose back end offers no keyboard cannot type.
    const QVariant types = get(QStringLiteral("AvailableDeviceTypes"));
    if (types.isValid() && (types.toUInt() & PortalKeystrokes::kKeyboard) == 0)
        return 0;
    m_version = int(v.toUInt());
    return uint(m_version);
}

void DBusRemoteDesktop::request(const QString &method, const QList<QVariant> &leading, QVariantMap options, Done done)
{
    const QString token = QStringLiteral("zorv%1").arg(++m_next);
    options.insert(QStringLiteral("handle_token"), token);
    const QString path = QStringLiteral("/org/freedesktop/portal/desktop/request/%1/%2").arg(m_senderPart, token);
    // Listening first: the answer may come before the call's own reply.
    m_bus.connect(kService, path, kRequest, QStringLiteral("Response"), this, SLOT(onResponse(uint, QVariantMap)));
    m_pending.insert(path, std::move(done));

    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface, method);
    QList<QVariant> args = leading;
    args.append(options);
    call.setArguments(args);
    auto *w = new QDBusPendingCallWatcher(m_bus.asyncCall(call, -1), this);
    connect(w, &QDBusPendingCallWatcher::finished, this, [this, path](QDBusPendingCallWatcher *call) {
        call->deleteLater();
        const QDBusPendingReply<QDBusObjectPath> reply = *call;
        if (reply.isError()) {
            answer(path, {Outcome::Failed, {}, reply.error().message()});
            return;
        }
        // Portals older than the handle_token option pick their own path.
        const QString actual = reply.value().path();
        if (actual != path && m_pending.contains(path)) {
            m_bus.disconnect(kService, path, kRequest, QStringLiteral("Response"), this, SLOT(onResponse(uint, QVariantMap)));
            m_bus.connect(kService, actual, kRequest, QStringLiteral("Response"), this, SLOT(onResponse(uint, QVariantMap)));
            m_pending.insert(actual, m_pending.take(path));
        }
    });
}

void DBusRemoteDesktop::answer(const QString &requestPath, const Reply &reply)
{
    if (!m_pending.contains(requestPath))
        return;
    m_bus.disconnect(kService, requestPath, kRequest, QStringLiteral("Response"), this, SLOT(onResponse(uint, QVariantMap)));
    const Done done = m_pending.take(requestPath);
    if (done)
        done(reply);
}

void DBusRemoteDesktop::onResponse(uint response, const QVariantMap &results)
{
    const QString path = message().path();
    Reply reply;
    reply.results = results;
    if (response == 0)
        reply.outcome = Outcome::Ok;
    else if (response == 1)
        reply.outcome = Outcome::Refused;
    else
        reply.error = QStringLiteral("the request was ended");
    answer(path, reply);
}

void DBusRemoteDesktop::createSession(Done done)
{
    const QString sessionToken = QStringLiteral("zorvs%1").arg(m_next + 1);
    QVariantMap options{{QStringLiteral("session_handle_token"), sessionToken}};
    request(QStringLiteral("CreateSession"), {}, options, [this, done = std::move(done)](const Reply &reply) {
        if (reply.outcome == Outcome::Ok)
            watchSession(reply.results.value(QStringLiteral("session_handle")).toString());
        done(reply);
    });
}

void DBusRemoteDesktop::selectDevices(const QString &session, const QVariantMap &options, Done done)
{
    request(QStringLiteral("SelectDevices"), {QVariant::fromValue(QDBusObjectPath(session))}, options, std::move(done));
}

void DBusRemoteDesktop::start(const QString &session, Done done)
{
    request(QStringLiteral("Start"), {QVariant::fromValue(QDBusObjectPath(session)), QString()}, {}, std::move(done));
}

void DBusRemoteDesktop::keysym(const QString &session, quint32 keysym, bool pressed)
{
    m_keys.enqueue({session, keysym, pressed});
    if (!m_keyInFlight)
        sendNextKey();
}

void DBusRemoteDesktop::sendNextKey()
{
    // One key event at a time: the portal handles its calls in parallel threads, so
    // keys sent together reach the compositor out of order.
    m_keyInFlight = false;
    if (m_keys.isEmpty())
        return;
    const QueuedKey k = m_keys.dequeue();
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("NotifyKeyboardKeysym"));
    call << QVariant::fromValue(QDBusObjectPath(k.session)) << QVariantMap() << int(k.keysym) << uint(k.pressed ? 1 : 0);
    m_keyInFlight = true;
    auto *w = new QDBusPendingCallWatcher(m_bus.asyncCall(call), this);
    connect(w, &QDBusPendingCallWatcher::finished, this, [this, session = k.session](QDBusPendingCallWatcher *call) {
        call->deleteLater();
        // A key the portal refuses means the session is of no more use.
        if (call->isError() && m_sessions.contains(session)) {
            closeSession(session);
            if (sessionClosed)
                sessionClosed(session);
        }
        sendNextKey();
    });
}

void DBusRemoteDesktop::closeSession(const QString &session)
{
    if (!m_sessions.contains(session))
        return;
    forgetSession(session);
    QDBusMessage call = QDBusMessage::createMethodCall(kService, session, kSession, QStringLiteral("Close"));
    m_bus.asyncCall(call);
}

void DBusRemoteDesktop::watchSession(const QString &session)
{
    if (session.isEmpty() || m_sessions.contains(session))
        return;
    m_sessions.append(session);
    m_bus.connect(kService, session, kSession, QStringLiteral("Closed"), this, SLOT(onSessionClosed(QVariantMap)));
}

void DBusRemoteDesktop::forgetSession(const QString &session)
{
    m_sessions.removeAll(session);
    m_keys.removeIf([&](const QueuedKey &k) { return k.session == session; });
    m_bus.disconnect(kService, session, kSession, QStringLiteral("Closed"), this, SLOT(onSessionClosed(QVariantMap)));
}

void DBusRemoteDesktop::onSessionClosed(const QVariantMap &details)
{
    Q_UNUSED(details);
    const QString session = message().path();
    if (!m_sessions.contains(session))
        return;
    forgetSession(session);
    if (sessionClosed)
        sessionClosed(session);
}

void DBusRemoteDesktop::portalGone()
{
    // Requests in flight will never be answered, and sessions died with the portal.
    const QStringList paths = m_pending.keys();
    for (const QString &path : paths)
        answer(path, {Outcome::Failed, {}, QStringLiteral("the desktop portal has gone")});
    const QStringList sessions = m_sessions;
    for (const QString &session : sessions)
        forgetSession(session);
    if (sessionClosed)
        sessionClosed(QString());
}

} // namespace zorv
