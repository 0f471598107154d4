#pragma once

#include "trayicon.h"

#include <QSystemTrayIcon>
#include <QTimer>

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
    void beforeShow(QWindow *window, bool minimised) override;

    // How often a shown icon looks whether its notification area is still there: Qt
    // hides an icon whose tray host has ended but says nothing of it.
    static constexpr int kCheckMs = 2000;

private slots:
    void checkArea();

private:
    QSystemTrayIcon m_icon;
    QTimer m_check;
};

} // namespace zorv
