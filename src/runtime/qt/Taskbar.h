#pragma once

#include <functional>

class QWidget;

namespace pedalwise::runtime {

// Shows a top-level window that has no taskbar button of its own, such as a dialog the user
// opens beside the main window. `show` is what shows the window (the widget's own setVisible);
// on a platform that cannot leave a window off its taskbar the window is shown as usual.
void ShowWithoutTaskbarButton(QWidget& window, const std::function<void()>& show);

} // namespace pedalwise::runtime
