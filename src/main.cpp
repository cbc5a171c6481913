#include "ui/main/Form1.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    pedalwise::ui::Form1 window;
    window.show();
    return QApplication::exec();
}
