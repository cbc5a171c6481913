#include "runtime/qt/PaintEvents.h"

#include "runtime/qt/Dispatch.h"

#include <QApplication>
#include <QEvent>
#include <QExposeEvent>
#include <QWidget>
#include <QWindow>
#include <QWindowStateChangeEvent>

#include <algorithm>

namespace pedalwise::runtime {
namespace {

bool isPopup(const QWidget& widget) {
    const Qt::WindowType type = widget.windowType();
    return type == Qt::Popup || type == Qt::ToolTip;
}

const QRegion& exposedRegion(const QEvent& event) {
    // The region is the only way to tell an uncovered popup area from any other exposure;
    // Qt 6 only marks it as superseded for code that paints.
    // Listed in docs/workarounds.md ("Exposed region of a paint").
    QT_WARNING_PUSH
    QT_WARNING_DISABLE_DEPRECATED
    return static_cast<const QExposeEvent&>(event).region();
    QT_WARNING_POP
}

} // namespace

PaintEvents::PaintEvents(QWidget& window) : QObject(&window), m_window(window) {
    // The window's platform window, its panels and every popup that may lie over it are
    // different objects, created at different times; one application-wide filter sees them all.
    qApp->installEventFilter(this);
}

void PaintEvents::watchPanel(QWidget& panel) {
    m_panels.emplace_back(&panel);
}

bool PaintEvents::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::Expose:
        if (QWindow* handle = m_window.windowHandle(); watched == handle && handle->isExposed()) {
            exposed(exposedRegion(*event));
        }
        break;
    case QEvent::WindowStateChange:
        if (watched == &m_window &&
            (static_cast<QWindowStateChangeEvent*>(event)->oldState() & Qt::WindowMinimized) &&
            !(m_window.windowState() & Qt::WindowMinimized)) {
            request();
        }
        break;
    case QEvent::Hide:
        if (!watched->isWidgetType()) {
            break;
        }
        if (auto* widget = static_cast<QWidget*>(watched); widget->isWindow()) {
            if (isPopup(*widget)) {
                rememberClosedPopup(*widget);
            }
        } else if (widget->isHidden() && !event->spontaneous() &&
                   std::ranges::find(m_panels, widget, &QPointer<QWidget>::data) !=
                       m_panels.end()) {
            // Only a panel hidden itself: one merely inside a window that hides is not.
            request();
        }
        break;
    default:
        break;
    }
    return false;
}

void PaintEvents::exposed(const QRegion& region) {
    // A window system that keeps nothing of covered windows exposes the area under a popup
    // when it closes; anywhere else, or along with other areas, the window is drawn afresh.
    const bool underClosedPopupsOnly = !region.isEmpty() && (region - m_closedPopups).isEmpty();
    m_closedPopups = QRegion();
    if (!underClosedPopupsOnly) {
        request();
    }
}

void PaintEvents::rememberClosedPopup(const QWidget& popup) {
    if (const QWindow* handle = m_window.windowHandle()) {
        QRect onScreen = popup.frameGeometry();
#ifdef Q_OS_WIN
        // Wine 10 exposes one pixel more than the popup on each side as it closes.
        // Listed in docs/workarounds.md ("Wine's area under a closed popup").
        onScreen.adjust(-1, -1, 1, 1);
#endif
        m_closedPopups += QRect(handle->mapFromGlobal(onScreen.topLeft()), onScreen.size());
    }
}

void PaintEvents::request() {
    if (!m_pending) {
        m_pending = true;
        post();
    }
}

void PaintEvents::post() {
    // Delivered by the event loop once the current event is done.
    QMetaObject::invokeMethod(this, &PaintEvents::deliver, Qt::QueuedConnection);
}

void PaintEvents::deliver() {
    if (HandlerRunning()) {
        // A handler's modal message runs the event loop; the paint waits for the handler.
        WhenNoHandlerRuns([self = QPointer<PaintEvents>(this)] {
            if (self) {
                self->post();
            }
        });
        return;
    }
    m_pending = false;
    emit Paint();
}

} // namespace pedalwise::runtime
