#pragma once

#include <QObject>
#include <QString>
#include <QtGlobal>

class QWidget;

namespace pedalwise::runtime {

// Has a screen reader speak a short text, such as the results of a calculation, while the
// focus stays where it is and nothing on the screen changes. Qt 6.8 and later pass an
// announcement of the window's on to the screen readers of every system; with an older Qt, an
// invisible child of the window presents itself as a notification, and on Windows the system's
// notification event is raised besides.
class Announcer final : public QObject {
    Q_OBJECT
public:
    explicit Announcer(QWidget& window);

    // The screen reader speaks the text once, each time it is said, even when it repeats.
    void say(const QString& text);

private:
    QWidget& m_window;
#if QT_VERSION < QT_VERSION_CHECK(6, 8, 0)
    QWidget* m_notification; // owned by the window
#endif
};

} // namespace pedalwise::runtime
