#include "ui/forms/CommandButton.h"

#include <QKeyEvent>

namespace pedalwise::ui {

CommandButton::CommandButton(const QString& caption, QWidget* parent)
    : QPushButton(caption, parent) {
    // Never a default button, not even inside a dialog: Enter in a text box presses nothing.
    setAutoDefault(false);
    setDefault(false);
}

void CommandButton::keyPressEvent(QKeyEvent* event) {
    // Qt presses a focused button on Enter only inside a dialog; these windows are not
    // dialogs. Pressing it keeps the focus where it is, so no focus-leave rule runs. With Alt,
    // Ctrl or Shift held, Enter presses nothing, as on Windows and in Qt's own dialogs.
    const bool modified =
        (event->modifiers() & (Qt::AltModifier | Qt::ControlModifier | Qt::ShiftModifier)) != 0;
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && !modified) {
        click();
        event->accept();
        return;
    }
    QPushButton::keyPressEvent(event);
}

} // namespace pedalwise::ui
