#include "runtime/qt/Application.h"
#include "ui/main/Form1.h"

int main(int argc, char** argv) {
    // The installed desktop entry, metainfo and icon carry this ID; desktops use it to match
    // the running windows to the entry.
    QGuiApplication::setDesktopFileName(QStringLiteral(PEDALWISE_APP_ID));
    QGuiApplication::setApplicationName(QStringLiteral("pedalwise"));
    return pedalwise::runtime::RunProgram(argc, argv,
                                          [] { return std::make_unique<pedalwise::ui::Form1>(); });
}
