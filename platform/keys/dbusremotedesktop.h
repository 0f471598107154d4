#pragma once

#include "portalkeystrokes.h"

#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusObjectPath>
#include <QHash>
#include <QObject>
#include <QQueue>
#include <QVariantMap>

class QDBusServiceWatcher;

namespace zorv {

// The remote-desktop portal on the session bus (org.freedesktop.portal.Desktop). Every
// request is asynchronous: the answer comes as the Response signal of the request's
// own object, to which it listens before the request is sent.
class DBusRemoteDesktop : public QObject, public RemoteDesktopPortal, protected QDBusContext {
    Q_OBJECT
public:
    explicit DBusRemoteDesktop(QObject *parent = nullptr);
    ~DBusRemoteDesktop() override;

    // Asks the portal once (at the first call) and remembers the answer.
    uint version() override;
    void createSession(Done done) override;
    void selectDevices(const QString &session, const QVariantMap &options, Done done) override;
    void start(const QString &session, Done done) override;
    void keysym(const QString &session, quint32 keysym, bool pressed) override;
    void closeSession(const QString &session) override;

private slots:
    void onResponse(uint response, const QVariantMap &results);
    void onSessionClosed(const QVariantMap &details);

private:
    void request(const QString &method, const QList<QVariant> &leading, QVariantMap options, Done done);
    void answer(const QString &requestPath, const Reply &reply);
    void watchSession(const QString &session);
    void forgetSession(const QString &session);
    void portalGone();
    void sendNextKey();

    QDBusConnection m_bus;
    QString m_senderPart; // the bus name as request paths carry it
    int m_next = 0;
    int m_version = -1;
    QHash<QString, Done> m_pending; // request path -> its answer
    QStringList m_sessions;
    struct QueuedKey {
        QString session;
        quint32 keysym = 0;
        bool pressed = false;
    };
    QQueue<QueuedKey> m_keys;
    bool m_keyInFlight = false;
    QDBusServiceWatcher *m_watcher = nullptr;
};

} // namespace zorv
