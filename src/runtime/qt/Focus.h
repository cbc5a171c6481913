#pragma once

class QWidget;

namespace pedalwise::runtime {

// The text of the run-time error raised when a control cannot take the focus.
inline constexpr const char* kCannotTakeFocus = "Invalid procedure call or argument";

// Moves the focus to a control. Throws RuntimeError when the control cannot take it: it is
// hidden (or inside a hidden container), disabled, or not focusable at all.
void SetFocus(QWidget& control);

} // namespace pedalwise::runtime
