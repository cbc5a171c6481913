#pragma once

#include <QObject>
#include <QString>
#include <QtGlobal>

class QWidget;

namespace pedalwise::runtime {

// Has a screen reader speak a short text, such as the results of a calculation, while the
// focus stays where it is and nothing on the screen changes: as Qt's announcement, or with a Qt
// older than 6.8 as a hidden notification child of the window.
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
