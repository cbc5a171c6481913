#include "runtime/qt/Application.h"
#include "ui/main/Form1.h"

int main(int argc, char** argv) {
    return pedalwise::runtime::RunProgram(argc, argv,
                                          [] { return std::make_unique<pedalwise::ui::Form1>(); });
}
