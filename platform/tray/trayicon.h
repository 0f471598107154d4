#pragma once

#include <QIcon>
#include <QObject>
#include <QString>

#include <functional>

namespace zorv {

// The icon of a program in the notification area. A window adds it when it hides
// there and removes it when it comes back; a click on the icon asks for the window.
class TrayIcon : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~TrayIcon() override = default;

    // False where the desktop has no notification area: the window then stays an
    // ordinary minimised window.
    virtual bool isAvailable() const = 0;
    // Shows the icon with its tip; adding a shown icon again changes nothing.
    virtual void add(const QIcon &icon, const QString &tip) = 0;
    // Takes the icon away; harmless when it is not shown.
    virtual void remove() = 0;
    virtual bool isShown() const = 0;

    // Makes the icons used by `create()`; tests install a fake here, programs the real
    // one. With no factory installed there is no notification area.
    using Factory = std::function<TrayIcon *(QObject *parent)>;
    static void setFactory(Factory factory);
    static TrayIcon *create(QObject *parent = nullptr);

signals:
    // A left click, double click or right click on the icon.
    void clicked();
};

// An icon in memory, for tests: counts adds and removes and lets the test click it.
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

    bool available = true;
    int adds = 0;
    int removes = 0;
    QString tip;

private:
    bool m_shown = false;
};

} // namespace zorv
