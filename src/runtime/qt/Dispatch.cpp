#include "runtime/qt/Dispatch.h"

#include "runtime/platform/MessageBox.h"

#include <exception>
#include <iostream>

namespace pedalwise::runtime {

void ReportUntrappedError(const std::string& what) noexcept {
    try {
        MsgBox(what);
    } catch (...) {
        // The message box itself failed; the error must still not be lost silently.
        std::cerr << kApplicationTitle << ": " << what << '\n';
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

} // namespace pedalwise::runtime
