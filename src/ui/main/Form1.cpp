#include "ui/main/Form1.h"

namespace pedalwise::ui {

Form1::Form1(QWidget* parent) : QMainWindow(parent) { setWindowTitle("Pedalwise Calculator"); }

} // namespace pedalwise::ui
