#include "keypreview.h"

#include <QApplication>
#include <QKeyEvent>

namespace zorv {

KeyPreview::KeyPreview(QWidget *window, Handler handler)
    : QObject(window), m_window(window), m_handler(std::move(handler))
{
    qApp->installEventFilter(this);
}

KeyPreview::~KeyPreview()
{
    if (qApp)
        qApp->removeEventFilter(this);
}

KeyPreview *KeyPreview::closeOnEscF9(QWidget *window)
{
    return new KeyPreview(window, [window](QKeyEvent *e) {
        if (e->key() == Qt::Key_Escape || e->key() == Qt::Key_F9) {
            window->close();
            return true;
        }
        return false;
    });
}

bool KeyPreview::eventFilter(QObject *watched, QEvent *event)
{
    // The release that follows a press ends that press's trip up the parents.
    if (event->type() == QEvent::KeyRelease) {
        m_pending = nullptr;
        return false;
    }
    if (event->type() != QEvent::KeyPress || !m_window || !watched->isWidgetType())
        return false;
    auto *widget = static_cast<QWidget *>(watched);
    // Only keys aimed at this window or one of its controls, not at a box it opened.
    if (widget != m_window && !(m_window->isAncestorOf(widget) && widget->window() == m_window))
        return false;
    // A key a control ignores travels on to its parents: hand it over once only.
    auto *key = static_cast<QKeyEvent *>(event);
    if (key == m_pending)
        return false;
    m_pending = key;
    return m_handler(key);
}

} // namespace zorv
