#include "runtime/qt/Announcer.h"
#include "runtime/platform/Notification.h"

#include <QAccessible>
#include <QAccessibleWidget>

// Why a notification: Qt 6.4 has no event that asks a screen reader to announce a text. The
// other ways were tried with Orca and stay silent: a new description of the focused button
// reaches Orca in a form it cannot speak (and would then be read at every later focus on the
// button), Orca ignores a label whose text changes, and Qt does not pass its alert event on to
// the accessibility bus. A notification that comes into view is what Orca speaks at once,
// without moving the focus; it also keeps it in its notification history.
// Listed in docs/workarounds.md ("Announcements: notification widget").
namespace pedalwise::runtime {
namespace {

QAccessibleInterface* NotificationRole(const QString& /*className*/, QObject* object) {
    if (auto* announcer = qobject_cast<Announcer*>(object)) {
        return new QAccessibleWidget(announcer, QAccessible::Notification);
    }
    return nullptr;
}

} // namespace

Announcer::Announcer(QWidget& window) : QWidget(nullptr) {
    // Installed here, once the application exists: a factory installed before it is never
    // asked.
    static const bool installed = [] {
        QAccessible::installFactory(NotificationRole);
        return true;
    }();
    static_cast<void>(installed);
    setObjectName(QStringLiteral("announcer"));
    setFocusPolicy(Qt::NoFocus);
    // Parented only now that it is an Announcer: Qt keeps the first accessible interface it
    // makes for a widget, and one made while the widget was still being built would have no
    // notification role.
    setParent(&window);
    setGeometry(0, 0, 0, 0);
    hide();
}

void Announcer::say(const QString& text) {
    setAccessibleName(text);
    // The widget itself stays hidden; only the screen reader is told that it came into view.
    QAccessibleEvent shown(this, QAccessible::ObjectShow);
    QAccessible::updateAccessibility(&shown);
    // Windows screen readers hear nothing of that: Qt 6.4's UI Automation bridge passes the
    // show event on to no one. The system tells them instead, on behalf of the whole window,
    // which has a native handle once shown; this hidden child never gets one.
    // Listed in docs/workarounds.md ("Announcements on Windows").
    NotificationSlot::get().notify(window()->internalWinId(), text.toStdString());
}

} // namespace pedalwise::runtime
