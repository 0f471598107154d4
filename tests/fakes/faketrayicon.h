#pragma once

#include "trayicon.h"

#include <QString>

namespace zorv {

// An icon in memory, for tests: counts adds and removes and lets the test click it
// or take the notification area away. Like the real icon it signals from the event
// loop, after click() or loseArea() has returned.
class FakeTrayIcon : public TrayIcon {
    Q_OBJECT
public:
    using TrayIcon::TrayIcon;

    bool isAvailable() const override { return available; }
    void add(const QIcon &icon, const QString &tip) override;
    void remove() override;
    bool isShown() const override { return m_shown; }

    // A click on the shown icon.
    void click();
    // The notification area's host ends: no area from now on (until `available` is
    // set again), and a shown icon is lost.
    void loseArea();

    bool available = true;
    int adds = 0;
    int removes = 0;
    QString tip;

private:
    bool m_shown = false;
};

// The icons of a desktop without a notification area.
inline Maker<TrayIcon> noNotificationArea()
{
    return Maker<TrayIcon>([](QObject *parent) -> TrayIcon * {
        auto *icon = new FakeTrayIcon(parent);
        icon->available = false;
        return icon;
    });
}

} // namespace zorv
