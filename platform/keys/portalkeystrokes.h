#pragma once

#include "keys.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QVariantMap>

#include <functional>

namespace zorv {

// What the keystrokes ask of the desktop's remote-desktop portal
// (org.freedesktop.portal.RemoteDesktop). Each request answers once, from the event
// loop, never from within the call; the real one speaks D-Bus, tests use a fake.
class RemoteDesktopPortal {
public:
    enum class Outcome {
        Ok,
        Refused, // the user refused or closed the portal's dialog
        Failed,  // anything else: the portal or the compositor could not do it
    };
    struct Reply {
        Outcome outcome = Outcome::Failed;
        QVariantMap results;
        QString error; // for Failed: what went wrong, when known
    };
    using Done = std::function<void(const Reply &)>;

    virtual ~RemoteDesktopPortal() = default;

    // The interface's version; 0 when the desktop has no remote-desktop portal.
    virtual uint version() = 0;
    // results["session_handle"]: the new session.
    virtual void createSession(Done done) = 0;
    virtual void selectDevices(const QString &session, const QVariantMap &options, Done done) = 0;
    // Where the portal asks its user; results["devices"], results["restore_token"].
    virtual void start(const QString &session, Done done) = 0;
    // Sent in order; the caller does not wait for them.
    virtual void keysym(const QString &session, quint32 keysym, bool pressed) = 0;
    virtual void closeSession(const QString &session) = 0;

    // Told when the desktop ends a session, or with an empty session when the portal
    // leaves the bus (every session is gone then).
    std::function<void(const QString &session)> sessionClosed;
};

// Keystrokes through a remote-desktop session of the desktop portal: they reach native
// Wayland windows and X11 (Xwayland) windows alike. Each key is sent as its keysym, so
// the compositor types it with the user's own keyboard layout; for a character that
// layout has no key for, GNOME's compositor lends one of its own.
//
// The session is opened by prepare(): the portal may first ask its user to allow it.
// With a portal of version 2 or later the user's consent is kept: the restore token the
// portal hands out at each start is stored in `tokenPath` and given back next time. A
// refused dialog, a failed start or a session the desktop ends leaves the keystrokes
// closed; the next prepare() asks again.
class PortalKeystrokes : public QObject, public Keystrokes {
    Q_OBJECT
public:
    enum class State { Closed, Opening, Open };

    PortalKeystrokes(RemoteDesktopPortal &portal, QString tokenPath, QObject *parent = nullptr);
    ~PortalKeystrokes() override;

    bool pressKey(Key key) override;
    bool typeChar(char32_t ch) override;
    QString lastError() const override { return m_error; }
    bool ready() const override { return m_state == State::Open; }
    void prepare(std::function<void(bool ok)> done) override;

    State state() const { return m_state; }

    // The portal's device type for the keyboard, and the persist mode that keeps the
    // consent until it is revoked.
    static constexpr uint kKeyboard = 1;
    static constexpr uint kPersistUntilRevoked = 2;
    static constexpr quint32 kShiftKeysym = 0xffe1;
    // From the start of a session to its first key.
    static constexpr int kSettleMs = 500;

signals:
    // Plain words for the operator: an open session has ended without being asked to,
    // or one asked for ahead of any line could not be had.
    void notice(const QString &text);

private:
    void open();
    void selected(int attempt, const RemoteDesktopPortal::Reply &reply);
    void started(int attempt, const RemoteDesktopPortal::Reply &reply);
    void fail(const RemoteDesktopPortal::Reply &reply);
    void finishWaiting(bool ok);
    void closedByDesktop(const QString &session);
    bool send(unsigned long keysym);
    QString storedToken() const;
    void storeToken(const QString &token);

    RemoteDesktopPortal &m_portal;
    QString m_tokenPath;
    State m_state = State::Closed;
    QString m_session;
    int m_attempt = 0;
    QString m_error;
    QList<std::function<void(bool)>> m_waiting;
};

} // namespace zorv
