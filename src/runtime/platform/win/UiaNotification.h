#pragma once

#include "runtime/platform/Notification.h"

#include <memory>
#include <string>

namespace pedalwise::runtime {

// UI Automation's notification event, which Narrator and NVDA speak: UiaRaiseNotificationEvent
// of the system library (Windows 10 version 1709 and later), looked up at the first
// notification. Where the library or the function is missing, as on earlier Windows and under
// Wine, every notification is dropped. The library is named so that a test can name one that
// lacks the function. Used from the user-interface thread only.
class UiaNotification final : public NotificationService {
public:
    explicit UiaNotification(std::string library = "uiautomationcore");
    ~UiaNotification() override;
    UiaNotification(const UiaNotification&) = delete;
    UiaNotification& operator=(const UiaNotification&) = delete;

    // Whether the system library has the notification event.
    bool available() { return functions() != nullptr; }

    void notify(NativeWindow window, const std::string& text) override;

private:
    struct Functions;
    const Functions* functions();

    std::string m_library;
    bool m_lookedUp = false;
    std::unique_ptr<Functions> m_functions;
};

} // namespace pedalwise::runtime
