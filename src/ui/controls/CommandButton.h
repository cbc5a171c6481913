#pragma once

#include <QPushButton>

class QKeyEvent;

namespace pedalwise::ui {

// Enter or the keypad's Enter held with Alt, Ctrl or Shift. In every window of the program such
// an Enter presses no button, neither the focused one nor a dialog's default one.
bool IsModifiedEnter(const QKeyEvent& event);

// A push button of any window of the program. Enter and the keypad's Enter press it only
// without Alt, Ctrl or Shift, as Space does, through the same clicked signal as the mouse. In
// a window that is no dialog, Enter presses the button while it has the focus, and Enter
// anywhere else in the window presses nothing; in a dialog, Qt's default buttons apply: Enter
// presses the focused button, or the default one while the focus is on no button.
class CommandButton : public QPushButton {
    Q_OBJECT
public:
    CommandButton(const QString& caption, QWidget* parent);

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

} // namespace pedalwise::ui
