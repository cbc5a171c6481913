#include "runtime/platform/MessageBox.h"

#include <cstdio>

namespace pedalwise::runtime {

void MessageBoxService::show(const std::string& prompt, const std::string& title) {
    std::fprintf(stderr, "%s: %s\n", title.c_str(), prompt.c_str());
}

MessageBoxService& standardErrorMessages() {
    static MessageBoxService service;
    return service;
}

void MsgBox(const std::string& prompt, const std::string& title) {
    MessageBoxSlot::get().show(prompt, title.empty() ? std::string(kApplicationTitle) : title);
}

} // namespace pedalwise::runtime
