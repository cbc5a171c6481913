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

StandardErrorMessages g_fallback;
MessageBoxService* g_current = nullptr;

} // namespace

MessageBoxService& messageBoxService() {
    if (g_current != nullptr) {
        return *g_current;
    }
    return g_fallback;
}

MessageBoxService* setMessageBoxService(MessageBoxService* service) {
    MessageBoxService* previous = g_current;
    g_current = service;
    return previous;
}

void MsgBox(const std::string& prompt, const std::string& title) {
    messageBoxService().show(prompt, title.empty() ? std::string(kApplicationTitle) : title);
}

} // namespace pedalwise::runtime
