#pragma once

#include "runtime/qt/MessageDialog.h"

#include <QApplication>

#include <functional>
#include <memory>

namespace pedalwise::runtime {

// The program's Qt application: installs the real message box for its lifetime, and catches
// any error that escapes an event so that it never crosses Qt's event loop.
class Application final : public QApplication {
    Q_OBJECT
public:
    Application(int& argc, char** argv);
    ~Application() override;

    bool notify(QObject* receiver, QEvent* event) override;

private:
    MessageDialog m_messages;
    MessageBoxService* m_previousMessages = nullptr;
};

// Starts the program: creates the start-up window, shows it and runs the event loop until
// the last window is closed. Returns the exit code.
int RunProgram(int& argc, char** argv,
               const std::function<std::unique_ptr<QWidget>()>& createStartupWindow);

} // namespace pedalwise::runtime
