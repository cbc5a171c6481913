#include "runtime/qt/Application.h"

#include "runtime/qt/Dispatch.h"

#include <QWidget>

namespace pedalwise::runtime {

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {
    m_previousMessages = MessageBoxSlot::install(&m_messages);
#if defined(Q_OS_WIN) && QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    // Qt 6.8 draws on Windows 11 in a style of its own, with rounder and roomier controls than
    // the window's fixed layout was made for; the program keeps the one look of Windows 10.
    // Listed in docs/workarounds.md ("Windows 11 style").
    setStyle(QStringLiteral("windowsvista"));
#endif
}

Application::~Application() {
    MessageBoxSlot::install(m_previousMessages);
}

bool Application::notify(QObject* receiver, QEvent* event) {
    // Handlers run through RunHandler and trap their own errors; this catch is the last line
    // for an error thrown by any other event code.
    bool handled = false;
    RunHandler([&] { handled = QApplication::notify(receiver, event); });
    return handled;
}

int RunProgram(int& argc, char** argv,
               const std::function<std::unique_ptr<QWidget>()>& createStartupWindow) {
    Application app(argc, argv);
    std::unique_ptr<QWidget> startup = createStartupWindow();
    startup->show();
    return Application::exec();
}

} // namespace pedalwise::runtime
