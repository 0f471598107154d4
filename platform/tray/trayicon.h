#pragma once

#include "service.h"

#include <QIcon>
#include <QObject>
#include <QString>

class QWindow;

namespace zorv {

// The icon of a program in the notification area. A window adds it when it hides
// there and removes it when it comes back; a click on the icon asks for the window.
// Both signals come from the event loop, never from inside the click or the change
// that caused them, so a receiver may remove the icon or show its window at once.
class TrayIcon : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~TrayIcon() override = default;

    // False where the desktop has no notification area now (its host may come and go):
    // the window then stays an ordinary minimised window.
    virtual bool isAvailable() const = 0;
    // Shows the icon with its tip; adding a shown icon again changes nothing, and
    // without a notification area nothing is shown.
    virtual void add(const QIcon &icon, const QString &tip) = 0;
    // Takes the icon away; harmless when it is not shown.
    virtual void remove() = 0;
    virtual bool isShown() const = 0;
    // `window`, hidden in the area, is about to be shown again: on screen, or as an
    // ordinary minimised window.
    virtual void beforeShow(QWindow *window, bool minimised) { Q_UNUSED(window); Q_UNUSED(minimised); }

    // A new icon from the installed Maker<TrayIcon>: the real one in the programs, a fake
    // in tests.
    static TrayIcon *create(QObject *parent = nullptr) { return Service<Maker<TrayIcon>>::get().make(parent); }

signals:
    // A left click, double click or right click on the icon, once its delivery is over.
    void clicked();
    // The notification area went away while the icon was in it: the icon is gone
    // (isShown() is false) and nothing will show it again by itself.
    void lost();
};

} // namespace zorv
