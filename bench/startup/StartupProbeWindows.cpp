// The probe in the Windows build, which runs under Wine and is timed from the outside only
// (run_startup.py --wine watches for its window on the X server): Wine's clocks and process
// figures are not the host's, so it measures nothing, and the window stays until it is closed.
#include "StartupProbe.h"

#include <QCoreApplication>

namespace pedalwise::bench {

std::int64_t MonotonicNanoseconds() {
    return 0;
}

StartupProbe::Timing StartupProbe::TimingFromArguments(int /*argc*/, char** /*argv*/) {
    return {};
}

StartupProbe::StartupProbe(QWidget& window, std::int64_t mainStarted, std::int64_t appReady,
                           Timing timing)
    : QObject(QCoreApplication::instance()), m_window(window), m_timing(timing),
      m_mainStarted(mainStarted), m_appReady(appReady), m_windowBuilt(0) {}

bool StartupProbe::eventFilter(QObject* /*watched*/, QEvent* /*event*/) {
    return false;
}

} // namespace pedalwise::bench
