#include "qttrayicon.h"

#include <QGuiApplication>
#include <QMetaObject>
#include <QWindow>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace zorv {

QtTrayIcon::QtTrayIcon(QObject *parent) : TrayIcon(parent)
{
    connect(&m_icon, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        switch (reason) {
        case QSystemTrayIcon::Trigger:     // left click
        case QSystemTrayIcon::DoubleClick:
        case QSystemTrayIcon::Context:     // right click
            // Qt is still delivering the click to the icon's window; removing the icon now
            // would destroy that window under it.
            QMetaObject::invokeMethod(this, &TrayIcon::clicked, Qt::QueuedConnection);
            break;
        default:
            break;
        }
    });

    m_check.setInterval(kCheckMs);
    connect(&m_check, &QTimer::timeout, this, &QtTrayIcon::checkArea);
}

bool QtTrayIcon::isAvailable() const
{
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void QtTrayIcon::add(const QIcon &icon, const QString &tip)
{
    // QSystemTrayIcon would keep an icon shown without an area and put it in the next
    // host that comes; the window would stay hidden until then.
    if (m_icon.isVisible() || !isAvailable())
        return;
    m_icon.setIcon(icon);
    m_icon.setToolTip(tip);
    m_icon.show();
    m_check.start();
}

void QtTrayIcon::remove()
{
    m_check.stop();
    m_icon.hide();
}

void QtTrayIcon::beforeShow(QWindow *window, bool minimised)
{
    // The window manager takes a window that is mapped again in the state its X11 hints
    // ask for, and Qt leaves them as they were when the window was hidden (or changes
    // them only after mapping it): a restored window could come back minimised and go
    // straight back into the area, a lost one come back on screen.
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11 || !window || !window->handle())
        return;
    Display *display = x11->display();
    const Window id = Window(window->winId());
    XWMHints *hints = XGetWMHints(display, id);
    XWMHints fresh{};
    XWMHints *h = hints ? hints : &fresh;
    h->flags |= StateHint;
    h->initial_state = minimised ? IconicState : NormalState;
    XSetWMHints(display, id, h);
    XFlush(display);
    if (hints)
        XFree(hints);
}

void QtTrayIcon::checkArea()
{
    if (!m_icon.isVisible() || isAvailable())
        return;
    remove();
    emit lost();
}

} // namespace zorv
