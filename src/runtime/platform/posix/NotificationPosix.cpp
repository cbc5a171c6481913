#include "runtime/platform/Notification.h"

namespace pedalwise::runtime {
namespace {

// Screen readers here listen on the accessibility bus, where the toolkit's own notification
// already reaches them: there is nothing more to ask of the system.
class NoNotification final : public NotificationService {
public:
    void notify(NativeWindow /*window*/, const std::string& /*text*/) override {}
};

} // namespace

NotificationService& systemNotificationService() {
    static NoNotification notification;
    return notification;
}

} // namespace pedalwise::runtime
