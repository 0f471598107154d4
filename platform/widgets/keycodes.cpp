#include "keycodes.h"

#include <QKeyEvent>

namespace zorv::keycode {

bool movesFocus(const QKeyEvent *event)
{
    return event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab;
}

bool isEnter(const QKeyEvent *event)
{
    return event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
}

int typed(const QKeyEvent *event)
{
    if (isEnter(event))
        return Enter;
    switch (event->key()) {
    case Qt::Key_Escape:
        return Esc;
    case Qt::Key_Backspace:
        return Backspace;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    // Some keyboards hand Delete over with the code 127: it edits, it types nothing.
    case Qt::Key_Delete:
        return -1;
    default:
        break;
    }
    const QString text = event->text();
    return text.isEmpty() ? -1 : text.at(0).unicode();
}

} // namespace zorv::keycode
