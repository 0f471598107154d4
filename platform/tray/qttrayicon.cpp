#include "qttrayicon.h"

namespace zorv {

QtTrayIcon::QtTrayIcon(QObject *parent) : TrayIcon(parent)
{
    connect(&m_icon, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        switch (reason) {
        case QSystemTrayIcon::Trigger:     // left click
        case QSystemTrayIcon::DoubleClick:
        case QSystemTrayIcon::Context:     // right click
            emit clicked();
            break;
        default:
            break;
        }
    });
}

bool QtTrayIcon::isAvailable() const
{
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void QtTrayIcon::add(const QIcon &icon, const QString &tip)
{
    if (m_icon.isVisible())
        return;
    m_icon.setIcon(icon);
    m_icon.setToolTip(tip);
    m_icon.show();
}

void QtTrayIcon::remove()
{
    m_icon.hide();
}

void QtTrayIcon::install()
{
    TrayIcon::setFactory([](QObject *parent) -> TrayIcon * { return new QtTrayIcon(parent); });
}

} // namespace zorv
