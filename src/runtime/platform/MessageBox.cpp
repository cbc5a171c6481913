#include "runtime/platform/MessageBox.h"

#include <cstdio>

namespace pedalwise::runtime {
namespace {

class StandardErrorMessages final : public MessageBoxService {
public:
    void show(const std::string& prompt, const std::string& title) override {
        std::fprintf(stderr, "%s: %s\n", title.c_str(), prompt.c_str());
    }
};

} // namespace

MessageBoxService& standardErrorMessages() {
    static StandardErrorMessages service;
    return service;
}

void MsgBox(const std::string& prompt, const std::string& title) {
    MessageBoxSlot::get().show(prompt, title.empty() ? std::string(kApplicationTitle) : title);
}

} // namespace pedalwise::runtime
