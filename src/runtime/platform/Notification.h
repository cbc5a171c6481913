#pragma once

#include "runtime/platform/ServiceSlot.h"

#include <cstdint>
#include <string>

namespace pedalwise::runtime {

// A top-level window as the system knows it (on Windows its HWND); 0 when it has none yet.
using NativeWindow = std::uintptr_t;

// Asks the system's screen readers to speak a short text for one of the program's windows,
// such as the results of a calculation, while the focus stays where it is. The text is UTF-8.
// Where the system has no such request, nothing happens; it never fails.
class NotificationService {
public:
    virtual ~NotificationService() = default;
    virtual void notify(NativeWindow window, const std::string& text) = 0;
};

// The operating system's notification; each platform's backend defines it.
NotificationService& systemNotificationService();

// The service in use: the system's unless a test installed another.
using NotificationSlot = ServiceSlot<NotificationService, systemNotificationService>;

} // namespace pedalwise::runtime
