#pragma once

#include "service.h"

#include <QList>
#include <QString>
#include <QStringView>

#include <optional>

namespace zorv {

// The keys a key string can name.
enum class Key {
    Backspace, // {BS}
    Break,     // {BREAK}
    Down,      // {DOWN}
    End,       // {END}
    Enter,     // {ENTER}
    Escape,    // {ESC}
    Home,      // {HOME}
    Left,      // {LEFT}
    PageDown,  // {PGDN}
    Right,     // {RIGHT}
    Tab,       // {TAB}
    Up,        // {UP}
    F1, F2, F3, F4, F5, F6, F7, F8, F9, F10, F11, F12,
};

// The key a key string names ("{TAB}", "{F5}"; braces and upper case required), or
// nothing for any other text.
std::optional<Key> keyFromName(QStringView name);
// "{TAB}" for Key::Tab.
QString keyName(Key key);
// Every key, in the order of the enum.
QList<Key> allKeys();

// Keystrokes into the window that has the keyboard focus, without waiting for the
// receiving application. A character is typed as itself: it never acts as a command of
// any key syntax.
class Keystrokes {
public:
    virtual ~Keystrokes() = default;
    // Presses and releases one key. False when it could not be sent.
    virtual bool pressKey(Key key) = 0;
    // Types one character, whatever the keyboard layout holds. False when it could not
    // be typed.
    virtual bool typeChar(char32_t ch) = 0;
    // How long the typist should wait before typeChar(ch), so that the keys before it
    // reach the application as they were meant; 0 almost always.
    virtual int holdMs(char32_t ch)
    {
        Q_UNUSED(ch);
        return 0;
    }
    // Why the last call failed.
    virtual QString lastError() const { return {}; }
};

inline Keystrokes &keystrokes() { return Service<Keystrokes>::get(); }

} // namespace zorv
