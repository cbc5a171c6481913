// The program's main window started the way the program starts it, through RunProgram, with a
// probe that reports when the window is painted and how much it does while idle.
#include "StartupProbe.h"

#include "runtime/qt/Application.h"
#include "ui/main/Form1.h"

int main(int argc, char** argv) {
    const std::int64_t started = pedalwise::bench::MonotonicNanoseconds();
    const auto timing = pedalwise::bench::StartupProbe::TimingFromArguments(argc, argv);
    return pedalwise::runtime::RunProgram(argc, argv, [&] {
        const std::int64_t appReady = pedalwise::bench::MonotonicNanoseconds();
        auto window = std::make_unique<pedalwise::ui::Form1>();
        new pedalwise::bench::StartupProbe(*window, started, appReady,
                                           timing); // owned by the application
        return window;
    });
}
