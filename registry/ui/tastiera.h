#pragma once

#include <QKeyEvent>

namespace zorv::registry {

// Character codes the key filters act on.
constexpr int kBackspace = 8;
constexpr int kEnter = 13;
constexpr int kEsc = 27;

// The character code a key types, as the boxes' key filters see it; -1 for keys that
// type nothing (arrows, Tab, Delete ...), which reach the box untouched.
inline int codiceCarattere(const QKeyEvent *e)
{
    switch (e->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return kEnter;
    case Qt::Key_Escape:
        return kEsc;
    case Qt::Key_Backspace:
        return kBackspace;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return -1;
    default:
        break;
    }
    const QString t = e->text();
    return t.isEmpty() ? -1 : t.at(0).unicode();
}

inline bool cifra(int c) { return c >= '0' && c <= '9'; }

} // namespace zorv::registry
