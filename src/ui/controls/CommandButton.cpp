#include "ui/controls/CommandButton.h"

#include <QKeyEvent>

namespace pedalwise::ui {

bool IsModifiedEnter(const QKeyEvent& event) {
    return (event.key() == Qt::Key_Return || event.key() == Qt::Key_Enter) &&
           (event.modifiers() & (Qt::AltModifier | Qt::ControlModifier | Qt::ShiftModifier)) != 0;
}

CommandButton::CommandButton(const QString& caption, QWidget* parent) : QPushButton(parent) {
    // The caption is given once the button is a CommandButton: given to QPushButton's
    // constructor, Qt 6.8 reports it as the name change of an accessible object of its own,
    // which the window never shows again, and Orca 48 may then leave a dialog's focused button
    // unsaid. Listed in docs/workarounds.md ("Button captions").
    setText(caption);
}

void CommandButton::keyPressEvent(QKeyEvent* event) {
    // Qt 6.4's focused push button takes Enter with any modifier, as a default or auto-default
    // button; ignored, the key goes on to the window, which presses nothing for it either.
    // Listed in docs/workarounds.md ("Enter with modifiers on a button").
    if (IsModifiedEnter(*event)) {
        event->ignore();
        return;
    }
    // Default and auto-default buttons exist in dialogs alone; elsewhere Qt's push button
    // takes no Enter at all. Pressing it keeps the focus where it is, so no focus-leave rule
    // runs.
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && !autoDefault() && !isDefault()) {
        click();
        event->accept();
        return;
    }
    QPushButton::keyPressEvent(event);
}

} // namespace pedalwise::ui
