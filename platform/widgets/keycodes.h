#pragma once

class QKeyEvent;

namespace zorv::keycode {

// Character codes the boxes' key filters act on.
constexpr int Backspace = 8;
constexpr int Tab = 9;
constexpr int Enter = 13;
constexpr int Esc = 27;

// Tab and Shift+Tab move the focus between controls.
bool movesFocus(const QKeyEvent *event);
// Return or the keypad's Enter.
bool isEnter(const QKeyEvent *event);

// The character code a key types, as a box's key filter sees it: Enter 13, Esc 27,
// Backspace 8, else the first character of the key's text. -1 for keys that type nothing
// (arrows, Delete ...) and for Tab and Shift+Tab, which move the focus and so never reach
// a filter: they pass to the box untouched.
int typed(const QKeyEvent *event);

} // namespace zorv::keycode
