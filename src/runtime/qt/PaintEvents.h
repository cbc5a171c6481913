#pragma once

#include <QObject>
#include <QPointer>
#include <QRegion>

#include <vector>

class QWidget;

namespace pedalwise::runtime {

// Raises a window's own paint event whenever the window system draws the window afresh: when
// it is first shown, restored from minimized or uncovered, and when one of its panels is
// hidden. Qt redraws such areas from its back buffer without telling the widgets, and code run
// while painting must not change controls, so the event comes from here, after the event that
// caused it. The window's own text, label and focus changes are no paints.
class PaintEvents final : public QObject {
    Q_OBJECT
public:
    // Watches `window`, a top-level widget, and becomes its child.
    explicit PaintEvents(QWidget& window);

    // Hiding this panel of the window uncovers the area beneath it, which is a paint.
    void watchPanel(QWidget& panel);

    // Asks for one paint. Requests made before the paint is delivered, and those made while
    // an event handler runs, are all answered by one Paint after the handler has returned.
    void request();

signals:
    // The window paints. Never raised from inside Qt's painting.
    void Paint();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void exposed(const QRegion& region);
    void rememberClosedPopup(const QWidget& popup);
    void post();
    void deliver();

    QWidget& m_window;
    std::vector<QPointer<QWidget>> m_panels;
    // Where popups of the program (menus, tooltips) lay over the window when they closed, in
    // window coordinates: the window system keeps what is beneath a popup on other systems, so
    // uncovering these areas is no paint.
    QRegion m_closedPopups;
    bool m_pending = false;
};

} // namespace pedalwise::runtime
