#include "runtime/qt/Focus.h"

#include "runtime/platform/RuntimeError.h"

#include <QAccessible>
#include <QLineEdit>
#include <QWidget>

namespace pedalwise::runtime {
namespace {

// A handler that fills a box and then moves the focus to it has Qt report the caret's move in
// the box before the focus. A screen reader that asks about that caret move only after the
// handler is done finds the box focused and takes the caret move for the focus move: Orca 43
// then reads the box's new text alone, and the focus move that follows, to the box it already
// stands on, says nothing, neither the box's label nor its panel. Told of the caret once more,
// after the focus, the screen reader passes over the earlier report, as it passes over any
// caret move in a box that a later one supersedes, and reads the focus move whole. Qt 6.8
// reports in the same order; Orca 48 reads the focus move whole either way, so the report stays
// for every Qt: the program cannot tell which screen reader listens.
// Listed in docs/workarounds.md ("Caret report after a focus move").
void ReportCaretAfterFocus(QWidget& control) {
    auto* box = qobject_cast<QLineEdit*>(&control);
    if (box == nullptr || !box->hasFocus() || !QAccessible::isActive()) {
        return;
    }
    QAccessibleTextCursorEvent caret(box, box->cursorPosition());
    QAccessible::updateAccessibility(&caret);
}

} // namespace

void SetFocus(QWidget& control) {
    // isVisible() is false as soon as any container, or the window itself, is hidden.
    if (!control.isVisible() || !control.isEnabled() || control.focusPolicy() == Qt::NoFocus) {
        throw RuntimeError(kCannotTakeFocus);
    }
    // OtherFocusReason: the focus-leave rules of the control that loses the focus run, as
    // they do for any focus move inside the window.
    control.setFocus(Qt::OtherFocusReason);
    ReportCaretAfterFocus(control);
}

} // namespace pedalwise::runtime
