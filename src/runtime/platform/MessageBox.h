#pragma once

#include <string>

namespace pedalwise::runtime {

// Title shown when a message box is given none.
inline constexpr const char* kApplicationTitle = "PedalwiseNew";

// Shows one modal message with a single OK button and no icon, and returns when it is closed.
// The Qt layer installs the real dialog; tests install a recorder so that nothing blocks.
class MessageBoxService {
public:
    virtual ~MessageBoxService() = default;
    virtual void show(const std::string& prompt, const std::string& title) = 0;
};

// The service in use; until one is installed, messages go to the standard error stream.
MessageBoxService& messageBoxService();

// Installs a service (nullptr restores the fallback) and returns the previous one. The
// caller keeps ownership.
MessageBoxService* setMessageBoxService(MessageBoxService* service);

// The program's message box: an empty title shows the application's title.
void MsgBox(const std::string& prompt, const std::string& title = {});

} // namespace pedalwise::runtime
