#pragma once

#include <QPushButton>

namespace pedalwise::ui {

// A push button of a window that has no default button. Enter and the keypad's Enter, without
// Alt, Ctrl or Shift, press it while it has the focus, as Space does, through the same clicked
// signal as the mouse; Enter anywhere else in the window presses nothing.
class CommandButton : public QPushButton {
    Q_OBJECT
public:
    CommandButton(const QString& caption, QWidget* parent);

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

} // namespace pedalwise::ui
