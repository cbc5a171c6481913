#pragma once

#include <QMainWindow>

namespace pedalwise::ui {

// The calculator's main window.
class Form1 : public QMainWindow {
    Q_OBJECT
public:
    explicit Form1(QWidget* parent = nullptr);
};

} // namespace pedalwise::ui
