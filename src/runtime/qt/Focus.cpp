#include "runtime/qt/Focus.h"

#include "runtime/platform/RuntimeError.h"

#include <QWidget>

namespace pedalwise::runtime {

void SetFocus(QWidget& control) {
    // isVisible() is false as soon as any container, or the window itself, is hidden.
    if (!control.isVisible() || !control.isEnabled() || control.focusPolicy() == Qt::NoFocus) {
        throw RuntimeError(kCannotTakeFocus);
    }
    // OtherFocusReason: the focus-leave rules of the control that loses the focus run, as
    // they do for any focus move inside the window.
    control.setFocus(Qt::OtherFocusReason);
}

} // namespace pedalwise::runtime
