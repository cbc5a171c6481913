#pragma once

#include <QString>
#include <QWidget>

namespace pedalwise::runtime {

// Has a screen reader speak a short text, such as the results of a calculation, while the
// focus stays where it is and nothing on the screen changes. An invisible child of the window
// that presents itself to assistive technology as a notification; on Windows the system's
// notification event besides.
class Announcer final : public QWidget {
    Q_OBJECT
public:
    explicit Announcer(QWidget& window);

    // The screen reader speaks the text once, each time it is said, even when it repeats.
    void say(const QString& text);
};

} // namespace pedalwise::runtime
