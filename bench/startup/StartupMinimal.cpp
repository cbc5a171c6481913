// The yardstick for the main window's start-up: the least a Qt Widgets program can show, one
// empty top-level widget with a title, measured by the same probe. With "--with-text" the
// window also shows one line of text, which brings in the font system that every window with
// text pays for.
#include "StartupProbe.h"

#include <QApplication>
#include <QLabel>
#include <QWidget>

#include <cstring>

int main(int argc, char** argv) {
    const std::int64_t started = pedalwise::bench::MonotonicNanoseconds();
    const auto timing = pedalwise::bench::StartupProbe::TimingFromArguments(argc, argv);
    bool withText = false;
    for (int i = 1; i < argc; ++i) {
        withText = withText || std::strcmp(argv[i], "--with-text") == 0;
    }
    QApplication app(argc, argv);
    const std::int64_t appReady = pedalwise::bench::MonotonicNanoseconds();
    QWidget window;
    window.setWindowTitle(QStringLiteral("Minimal Qt window"));
    if (withText) {
        new QLabel(QStringLiteral("Wheel diameter (inches)"), &window);
    }
    pedalwise::bench::StartupProbe probe(window, started, appReady, timing);
    window.show();
    return QApplication::exec();
}
