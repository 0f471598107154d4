#pragma once

#include "keycodes.h"

namespace zorv::registry {

// Character codes the key filters act on.
constexpr int kBackspace = keycode::Backspace;
constexpr int kEnter = keycode::Enter;
constexpr int kEsc = keycode::Esc;

// The character code a key types, as the boxes' key filters see it; -1 for keys that
// type nothing and for the focus keys, which reach the box untouched.
inline int codiceCarattere(const QKeyEvent *e) { return keycode::typed(e); }

inline bool cifra(int c) { return c >= '0' && c <= '9'; }

} // namespace zorv::registry
