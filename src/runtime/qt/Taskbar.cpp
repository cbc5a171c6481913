#include "runtime/qt/Taskbar.h"

#include <QGuiApplication>
#include <QWidget>
#include <QWindow>

#if PEDALWISE_HAVE_XCB && QT_CONFIG(xcb)
#include <QtGui/qguiapplication_platform.h>
#include <xcb/xcb.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#endif

namespace pedalwise::runtime {
namespace {

// On X11 a window without a taskbar button carries the _NET_WM_STATE_SKIP_TASKBAR state,
// which it must have before it is first mapped; Qt keeps states it finds on the window when it
// sets its own. Qt::Tool would not do it on X11, and would no longer keep the program running
// after the main window closes.
// Listed in docs/workarounds.md ("About window off the X11 taskbar").
void SkipTaskbarOnX11([[maybe_unused]] QWidget& window) {
#if PEDALWISE_HAVE_XCB && QT_CONFIG(xcb)
    // Other platforms, the offscreen one included, may answer for X11 without a connection.
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (QGuiApplication::platformName() != QStringLiteral("xcb") || x11 == nullptr ||
        x11->connection() == nullptr) {
        return;
    }
    xcb_connection_t* connection = x11->connection();
    const auto atom = [connection](const char* name) -> xcb_atom_t {
        const xcb_intern_atom_cookie_t cookie =
            xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(std::strlen(name)), name);
        xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(connection, cookie, nullptr);
        const xcb_atom_t result = reply != nullptr ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
        std::free(reply);
        return result;
    };
    const xcb_atom_t state = atom("_NET_WM_STATE");
    const xcb_atom_t skipTaskbar = atom("_NET_WM_STATE_SKIP_TASKBAR");
    if (state == XCB_ATOM_NONE || skipTaskbar == XCB_ATOM_NONE) {
        return;
    }
    xcb_change_property(connection, XCB_PROP_MODE_APPEND, static_cast<xcb_window_t>(window.winId()),
                        state, XCB_ATOM_ATOM, 32, 1, &skipTaskbar);
    xcb_flush(connection);
#endif
}

#ifdef Q_OS_WIN
// On Windows a top-level window owned by another window has no taskbar button. The owner is
// a window that is never shown, as long as the program runs.
QWindow& HiddenOwner() {
    static QWindow* owner = [] {
        auto* window = new QWindow;
        window->create();
        return window;
    }();
    return *owner;
}
#endif

} // namespace

void ShowWithoutTaskbarButton(QWidget& window, const std::function<void()>& show) {
    if (window.isVisible()) {
        show();
        return;
    }
    window.winId(); // the native window, so that it is set up before it is first shown
    SkipTaskbarOnX11(window);
#ifdef Q_OS_WIN
    // Qt gives the native window the owner it is told of only as the window is shown. Told of
    // the hidden one for that moment, the window gets it and keeps it; forgotten again after,
    // so that Qt counts the window as one of its own that keeps the program running.
    // Listed in docs/workarounds.md ("About window's taskbar owner").
    window.windowHandle()->setTransientParent(&HiddenOwner());
    show();
    window.windowHandle()->setTransientParent(nullptr);
#else
    show();
#endif
}

} // namespace pedalwise::runtime
