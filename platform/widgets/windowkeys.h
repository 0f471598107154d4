#pragma once

class QWidget;

namespace zorv {

// The key rules every window of the suite shares, as the programs' operators know them
// from their platform: Enter (Return or the keypad's Enter) on a focused button clicks
// that button, and no window has a default button, so Enter in a box does only what that
// box's own handler does. The system's boxes (messages, input, printer) keep their own
// rules. Installed once per program, before its first window opens.
namespace windowkeys {

void install();

// Whether `window` is one of the suite's own windows, to which the rules apply.
bool appliesTo(const QWidget *window);

} // namespace windowkeys
} // namespace zorv
