#include "runtime/qt/Application.h"

#include "runtime/qt/Dispatch.h"

#include <QWidget>

namespace pedalwise::runtime {

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {
    m_previousMessages = MessageBoxSlot::install(&m_messages);
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
