#include "runtime/platform/Notification.h"
#include "runtime/platform/ServiceSlot.h"

namespace pedalwise::runtime {
namespace {
constinit ServiceSlot<NotificationService> g_notification(systemNotificationService);
} // namespace

NotificationService& notificationService() {
    return g_notification.get();
}

NotificationService* setNotificationService(NotificationService* service) {
    return g_notification.install(service);
}

} // namespace pedalwise::runtime
