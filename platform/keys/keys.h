#pragma once

#include "service.h"

#include <QList>
#include <QString>
#include <QStringView>

#include <functional>
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
// The X keysym of a key (XK_Tab for Key::Tab).
unsigned long keysymOf(Key key);
// The keysyms that stand for a character: the classic keysym where there is one, then
// the Unicode keysym. Empty for control characters.
QList<unsigned long> keysymsFor(char32_t ch);

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
    // False while keys cannot be sent before prepare() has opened the way (a session
    // with the desktop that its user may first have to allow).
    virtual bool ready() const { return true; }
    // Opens the way for keys where ready() is false; done(true) once keys can be sent,
    // done(false) with lastError() when they cannot. `done` may be empty. Where ready()
    // is true, done(true) is called at once.
    virtual void prepare(std::function<void(bool ok)> done)
    {
        if (done)
            done(true);
    }
};

inline Keystrokes &keystrokes() { return Service<Keystrokes>::get(); }

} // namespace zorv
