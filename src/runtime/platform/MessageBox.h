#pragma once

#include "runtime/platform/ServiceSlot.h"

#include <string>

namespace pedalwise::runtime {

// Title shown when a message box is given none.
inline constexpr const char* kApplicationTitle = "PedalwiseNew";

// Shows one modal message with a single OK button and no icon, and returns when it is closed.
// The Qt layer installs the real dialog; tests install a recorder so that nothing blocks.
// This one, in use until then, writes each message to the standard error stream.
class MessageBoxService {
public:
    virtual ~MessageBoxService() = default;
    virtual void show(const std::string& prompt, const std::string& title);
};

MessageBoxService& standardErrorMessages();

// The service in use; until one is installed, messages go to the standard error stream.
using MessageBoxSlot = ServiceSlot<MessageBoxService, standardErrorMessages>;

// The program's message box: an empty title shows the application's title.
void MsgBox(const std::string& prompt, const std::string& title = {});

} // namespace pedalwise::runtime
