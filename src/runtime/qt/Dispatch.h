#pragma once

#include <QObject>

#include <functional>
#include <string>

namespace pedalwise::runtime {

// Runs one event handler. A run-time error that the handler does not trap stops the handler
// and ends here: it is shown in a modal OK message and the program goes on. Every handler of
// the program is called through this function, so no exception ever crosses Qt's event loop.
void RunHandler(const std::function<void()>& handler) noexcept;

// Shows the text of an error that no handler trapped. Never throws: if even the message
// cannot be shown, the text goes to the standard error stream.
void ReportUntrappedError(const std::string& what) noexcept;

// Runs one of the program's event handlers through RunHandler, keeping count of the handlers
// running, so that work which must follow a handler knows when it has returned.
void RunEventHandler(const std::function<void()>& handler) noexcept;

// True while a program handler runs, also while it waits for the user in a modal message.
bool HandlerRunning() noexcept;

// Calls `task` once no program handler runs: at once when none does, otherwise right after
// the outermost one has returned.
void WhenNoHandlerRuns(std::function<void()> task);

// Connects a signal to a handler of the receiver, called through RunEventHandler.
template <typename Sender, typename Signal, typename Receiver>
QMetaObject::Connection ConnectHandler(Sender* sender, Signal signal, Receiver* receiver,
                                       void (Receiver::*handler)()) {
    return QObject::connect(sender, signal, receiver, [receiver, handler] {
        RunEventHandler([receiver, handler] { (receiver->*handler)(); });
    });
}

} // namespace pedalwise::runtime
