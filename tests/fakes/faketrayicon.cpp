#include "faketrayicon.h"

namespace zorv {

void FakeTrayIcon::add(const QIcon &, const QString &text)
{
    if (!available || m_shown)
        return;
    ++adds;
    tip = text;
    m_shown = true;
}

void FakeTrayIcon::remove()
{
    if (!m_shown)
        return;
    ++removes;
    m_shown = false;
}

void FakeTrayIcon::click()
{
    if (m_shown)
        QMetaObject::invokeMethod(this, &TrayIcon::clicked, Qt::QueuedConnection);
}

void FakeTrayIcon::loseArea()
{
    available = false;
    if (!m_shown)
        return;
    m_shown = false;
    QMetaObject::invokeMethod(this, &TrayIcon::lost, Qt::QueuedConnection);
}

} // namespace zorv
