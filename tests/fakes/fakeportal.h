#pragma once

#include "portalkeystrokes.h"

#include <QStringList>
#include <QTimer>

// A remote-desktop portal in memory. Each request is answered from the event loop with
// the outcome set for it (Ok unless told); a start may be held back to be answered
// later, as a dialog would. Keys are recorded as "+keysym" / "-keysym" in hex.
class FakeRemoteDesktopPortal : public zorv::RemoteDesktopPortal {
public:
    uint version() override { return portalVersion; }
    void createSession(Done done) override
    {
        calls.append(QStringLiteral("CreateSession"));
        const QString session = QStringLiteral("/session/%1").arg(++sessions);
        later(std::move(done), createOutcome, {{QStringLiteral("session_handle"), session}});
    }
    void selectDevices(const QString &session, const QVariantMap &options, Done done) override
    {
        calls.append(QStringLiteral("SelectDevices ") + session);
        selectOptions = options;
        later(std::move(done), Outcome::Ok, {});
    }
    void start(const QString &session, Done done) override
    {
        calls.append(QStringLiteral("Start ") + session);
        QVariantMap results{{QStringLiteral("devices"), QVariant::fromValue(uint(1))}};
        if (!nextToken.isEmpty())
            results.insert(QStringLiteral("restore_token"), nextToken);
        if (holdStart) {
            heldStart = [done = std::move(done), results](Outcome o) { done({o, results, {}}); };
            return;
        }
        later(std::move(done), startOutcome, results);
    }
    void keysym(const QString &session, quint32 keysym, bool pressed) override
    {
        keys.append(QStringLiteral("%1%2 %3").arg(pressed ? '+' : '-').arg(keysym, 0, 16).arg(session));
    }
    void closeSession(const QString &session) override { calls.append(QStringLiteral("Close ") + session); }

    // The user answers the held dialog.
    void answerStart(Outcome o)
    {
        auto answer = std::move(heldStart);
        heldStart = nullptr;
        if (answer)
            answer(o);
    }
    // The desktop ends a session ("": the portal leaves the bus).
    void closeFromDesktop(const QString &session)
    {
        if (sessionClosed)
            sessionClosed(session);
    }
    // The keysyms pressed, in order, without their session.
    QStringList pressed() const
    {
        QStringList out;
        for (const QString &k : keys) {
            if (k.startsWith('+'))
                out.append(k.mid(1).section(' ', 0, 0));
        }
        return out;
    }

    uint portalVersion = 1;
    Outcome createOutcome = Outcome::Ok;
    Outcome startOutcome = Outcome::Ok;
    bool holdStart = false;
    QString nextToken;
    QStringList calls;
    QStringList keys;
    QVariantMap selectOptions;
    int sessions = 0;

private:
    void later(Done done, Outcome o, QVariantMap results)
    {
        QTimer::singleShot(0, [done = std::move(done), o, results] { done({o, results, {}}); });
    }
    std::function<void(Outcome)> heldStart;
};
