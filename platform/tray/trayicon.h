#pragma once

#include <QIcon>
#include <QObject>
#include <QString>

#include <functional>

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

    // Makes the icons used by `create()`; tests install a fake here, programs the real
    // one. With no factory installed there is no notification area.
    using Factory = std::function<TrayIcon *(QObject *parent)>;
    static void setFactory(Factory factory);
    static TrayIcon *create(QObject *parent = nullptr);

signals:
    // A left click, double click or right click on the icon, once its delivery is over.
    void clicked();
    // The notification area went away while the icon was in it: the icon is gone
    // (isShown() is false) and nothing will show it again by itself.
    void lost();
};

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

} // namespace zorv
