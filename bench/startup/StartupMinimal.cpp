// The yardsticks for the main window's start-up, measured by the same probe:
//   (no option)    the least a Qt Widgets program can show, one empty top-level widget with a
//                  title;
//   --with-text    the same with one line of text, which brings in the font system that every
//                  window with text pays for;
//   --controls     the fair one: a plain Qt main window with the kinds and numbers of controls
//                  the program's window shows at start (a menu bar with the same menus and
//                  items, five line edits, nine labels, two buttons), at the same size, built
//                  the plain way with Qt's defaults.
#include "StartupProbe.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QWidget>

#include <cstring>
#include <memory>

namespace {

std::unique_ptr<QWidget> ControlsWindow() {
    auto window = std::make_unique<QMainWindow>();
    QMenu* file = window->menuBar()->addMenu(QStringLiteral("&File"));
    file->addAction(QStringLiteral("E&xit"));
    QMenu* setup = window->menuBar()->addMenu(QStringLiteral("Se&tup"));
    setup->addAction(QStringLiteral("Set Defaults"));
    QMenu* help = window->menuBar()->addMenu(QStringLiteral("&Help"));
    help->addAction(QStringLiteral("Program Help Contact"));
    help->addAction(QStringLiteral("A&bout Pedalwise"));

    auto* client = new QWidget(window.get());
    window->setCentralWidget(client);
    const char* const labels[] = {"Bicycle Pedalwise Calculator",
                                  "Wheel Outside Diameter:",
                                  "Drive Sprocket (A): #Teeth:",
                                  "Driven Sprocket (B): # Teeth:",
                                  "Drive Sprocket (C): #Teeth:",
                                  "Driven Sprocket (D): # Teeth:",
                                  "Gear Inches =",
                                  "Approximate Speed (mph) at Cadence...",
                                  "   60         70          80         90        100"};
    int row = 0;
    for (const char* text : labels) {
        (new QLabel(QString::fromLatin1(text), client))->setGeometry(10, 10 + 30 * row, 280, 20);
        if (row < 5) {
            (new QLineEdit(client))->setGeometry(300, 10 + 30 * row, 60, 20);
        }
        ++row;
    }
    (new QPushButton(QStringLiteral("Calculate!"), client))->setGeometry(80, 290, 94, 23);
    (new QPushButton(QStringLiteral("E&xit"), client))->setGeometry(426, 309, 58, 23);
    // The program's client area is 508 x 370 pixels below its menu bar.
    window->resize(508, 370 + window->menuBar()->sizeHint().height());
    return window;
}

} // namespace

int main(int argc, char** argv) {
    const std::int64_t started = pedalwise::bench::MonotonicNanoseconds();
    const auto timing = pedalwise::bench::StartupProbe::TimingFromArguments(argc, argv);
    bool withText = false;
    bool withControls = false;
    for (int i = 1; i < argc; ++i) {
        withText = withText || std::strcmp(argv[i], "--with-text") == 0;
        withControls = withControls || std::strcmp(argv[i], "--controls") == 0;
    }
    QApplication app(argc, argv);
    const std::int64_t appReady = pedalwise::bench::MonotonicNanoseconds();
    std::unique_ptr<QWidget> window = withControls ? ControlsWindow() : std::make_unique<QWidget>();
    window->setWindowTitle(QStringLiteral("Minimal Qt window"));
    if (withText) {
        new QLabel(QStringLiteral("Wheel diameter (inches)"), window.get());
    }
    pedalwise::bench::StartupProbe probe(*window, started, appReady, timing);
    window->show();
    return QApplication::exec();
}
