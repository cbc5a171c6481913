#pragma once

#include "runtime/platform/MessageBox.h"

namespace pedalwise::runtime {

// The real message box: a modal Qt dialog with the prompt, one OK button and no icon, over
// the active window. Installed at start-up.
class MessageDialog final : public MessageBoxService {
public:
    void show(const std::string& prompt, const std::string& title) override;
};

} // namespace pedalwise::runtime
