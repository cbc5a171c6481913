#pragma once

#include <QApplication>

namespace pedalwise::bench {

// The one Qt application of the benchmark program, on the offscreen platform so that no
// display is needed. Made on first use and kept to the end.
inline void ensureApplication() {
    static int argc = 1;
    static char name[] = "pedalwise_bench";
    static char* argv[] = {name, nullptr};
    static QApplication* app = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return new QApplication(argc, argv);
    }();
    static_cast<void>(app);
}

} // namespace pedalwise::bench
