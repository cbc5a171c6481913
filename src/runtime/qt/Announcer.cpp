#include "runtime/qt/Announcer.h"

#include <QAccessible>
#include <QWidget>

#if QT_VERSION < QT_VERSION_CHECK(6, 8, 0)
#include <QAccessibleWidget>
#endif

namespace pedalwise::runtime {

#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)

Announcer::Announcer(QWidget& window) : QObject(&window), m_window(window) {}

void Announcer::say(const QString& text) {
    // Assertive: the text is the answer to the key just pressed, so it is not queued behind
    // what the screen reader was still saying.
    QAccessibleAnnouncementEvent announcement(&m_window, text);
    announcement.setPoliteness(QAccessible::AnnouncementPoliteness::Assertive);
    QAccessible::updateAccessibility(&announcement);
}

#else

// Why a notification: Qt 6.4 has no event that asks a screen reader to announce a text. The
// other ways were tried with Orca and stay silent: a new description of the focused button
// reaches Orca in a form it cannot speak (and would then be read at every later focus on the
// button), Orca ignores a label whose text changes, and Qt does not pass its alert event on to
// the accessibility bus. A notification that comes into view is what Orca speaks at once,
// without moving the focus; it also keeps it in its notification history.
// Listed in docs/workarounds.md ("Announcements: notification widget").
namespace {

const QString kNotificationName = QStringLiteral("announcer");

QAccessibleInterface* NotificationRole(const QString& /*className*/, QObject* object) {
    if (object->isWidgetType() && object->objectName() == kNotificationName) {
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Notification);
    }
    return nullptr;
}

} // namespace

Announcer::Announcer(QWidget& window)
    : QObject(&window), m_window(window), m_notification(new QWidget(nullptr)) {
    // Installed here, once the application exists: a factory installed before it is never
    // asked.
    static const bool installed = [] {
        QAccessible::installFactory(NotificationRole);
        return true;
    }();
    static_cast<void>(installed);
    m_notification->setObjectName(kNotificationName);
    m_notification->setFocusPolicy(Qt::NoFocus);
    // Parented only now that it has its name: Qt keeps the first accessible interface it
    // makes for a widget, and one made before the factory could know it would have no
    // notification role.
    m_notification->setParent(&window);
    m_notification->setGeometry(0, 0, 0, 0);
    m_notification->hide();
}

void Announcer::say(const QString& text) {
    m_notification->setAccessibleName(text);
    // The widget itself stays hidden; only the screen reader is told that it came into view.
    QAccessibleEvent shown(m_notification, QAccessible::ObjectShow);
    QAccessible::updateAccessibility(&shown);
}

#endif

} // namespace pedalwise::runtime
