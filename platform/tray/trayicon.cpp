#include "trayicon.h"

namespace zorv {

namespace {

// Where no real icon is installed: no notification area at all.
class NoTrayIcon : public TrayIcon {
public:
    using TrayIcon::TrayIcon;
    bool isAvailable() const override { return false; }
    void add(const QIcon &, const QString &) override {}
    void remove() override {}
    bool isShown() const override { return false; }
};

TrayIcon::Factory &factorySlot()
{
    static TrayIcon::Factory factory;
    return factory;
}

} // namespace

void TrayIcon::setFactory(Factory factory)
{
    factorySlot() = std::move(factory);
}

TrayIcon *TrayIcon::create(QObject *parent)
{
    if (factorySlot())
        return factorySlot()(parent);
    return new NoTrayIcon(parent);
}

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
