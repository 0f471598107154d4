#pragma once

#include "trayicon.h"

#include <QSystemTrayIcon>

namespace zorv {

// The icon on QSystemTrayIcon.
class QtTrayIcon : public TrayIcon {
    Q_OBJECT
public:
    explicit QtTrayIcon(QObject *parent = nullptr);

    bool isAvailable() const override;
    void add(const QIcon &icon, const QString &tip) override;
    void remove() override;
    bool isShown() const override { return m_icon.isVisible(); }

    // Installs QtTrayIcon as the icon that TrayIcon::create() makes.
    static void install();

private:
    QSystemTrayIcon m_icon;
};

} // namespace zorv
