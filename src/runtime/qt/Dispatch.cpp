#include "runtime/qt/Dispatch.h"

#include "runtime/platform/MessageBox.h"

#include <cstdio>
#include <exception>
#include <utility>
#include <vector>

namespace pedalwise::runtime {
namespace {

int g_runningHandlers = 0;

std::vector<std::function<void()>>& afterHandlers() {
    static std::vector<std::function<void()>> tasks;
    return tasks;
}

} // namespace

void ReportUntrappedError(const std::string& what) noexcept {
    try {
        MsgBox(what);
    } catch (...) {
        // The message box itself failed; the error must still not be lost silently.
        std::fprintf(stderr, "%s: %s\n", kApplicationTitle, what.c_str());
    }
}

void RunHandler(const std::function<void()>& handler) noexcept {
    try {
        handler();
    } catch (const std::exception& error) {
        ReportUntrappedError(error.what());
    } catch (...) {
        ReportUntrappedError("Unexpected error");
    }
}

void RunEventHandler(const std::function<void()>& handler) noexcept {
    ++g_runningHandlers;
    RunHandler(handler);
    if (--g_runningHandlers == 0) {
        for (const std::function<void()>& task : std::exchange(afterHandlers(), {})) {
            RunHandler(task);
        }
    }
}

bool HandlerRunning() noexcept {
    return g_runningHandlers > 0;
}

void WhenNoHandlerRuns(std::function<void()> task) {
    if (g_runningHandlers == 0) {
        task();
    } else {
        afterHandlers().push_back(std::move(task));
    }
}

} // namespace pedalwise::runtime
