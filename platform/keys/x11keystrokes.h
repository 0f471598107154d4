#pragma once

#include "keys.h"

#include <QObject>
#include <QString>

#include <memory>

namespace zorv {

// Keystrokes through the X Test extension, into the window that has the X keyboard
// focus (XWayland windows included; native Wayland windows cannot be reached).
//
// A character is looked up in the keyboard layout in force, with and without Shift, for
// the current group and locked modifiers; a character the layout lacks is put for a
// while on a spare keycode (one the layout leaves empty) and typed from there. Spare
// keycodes get their empty mapping back once typing has paused for kRestoreMs, and at
// the latest when this object goes: receiving applications read the changed mapping
// when they get to the key, so it must not be taken back at once. For the same reason a
// spare keycode is given another character only kReuseGuardMs after its last key
// (holdMs() tells the typist how long that is).
class X11Keystrokes : public QObject, public Keystrokes {
    Q_OBJECT
public:
    // Connects to the display named by $DISPLAY (or `display` when given).
    explicit X11Keystrokes(const QString &display = QString(), QObject *parent = nullptr);
    ~X11Keystrokes() override;

    // False when there is no X display or it lacks the X Test or XKB extension;
    // lastError() tells which.
    bool isOpen() const;

    bool pressKey(Key key) override;
    bool typeChar(char32_t ch) override;
    int holdMs(char32_t ch) override;
    QString lastError() const override;

    // Gives every spare keycode in use its empty mapping back now.
    void restoreMapping();
    // Spare keycodes that currently carry a character.
    int remappedCount() const;

    static constexpr int kRestoreMs = 1000;
    // A spare keycode gets another character only this long after its last key.
    static constexpr int kReuseGuardMs = 150;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

} // namespace zorv
