#pragma once

#include <QObject>

#include <chrono>
#include <cstdint>

class QWidget;

namespace pedalwise::bench {

// Nanoseconds on the system-wide monotonic clock, which the process that started this one
// reads too, so the two can be subtracted.
std::int64_t MonotonicNanoseconds();

// Watches a top-level window from the outside while the program starts: notes when its native
// window is first exposed and when the whole window has been painted, then lets the program
// sit idle and measures the processor time it uses meanwhile. Prints one line of figures to
// the standard output and quits the event loop. Adds nothing to the window itself.
class StartupProbe final : public QObject {
public:
    struct Timing {
        std::chrono::milliseconds settle{500}; // after the paint, before idle time is counted
        std::chrono::milliseconds idle{2000};
    };

    // The timing, changed by "--idle-ms=N" among the arguments.
    static Timing TimingFromArguments(int argc, char** argv);

    // Made right after the window is built. `mainStarted` is the clock reading at the top of
    // main() and `appReady` the one once the application object exists. Installs itself on
    // the application.
    StartupProbe(QWidget& window, std::int64_t mainStarted, std::int64_t appReady, Timing timing);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void painted();
    void startIdle();
    void finish();

    QWidget& m_window;
    Timing m_timing;
    std::int64_t m_mainStarted;
    std::int64_t m_appReady;
    std::int64_t m_windowBuilt;
    std::int64_t m_exposed = 0;
    std::int64_t m_firstPaint = 0;
    std::int64_t m_painted = 0;
    std::int64_t m_idleCpuStart = 0;
    long m_idleSwitchesStart = 0;
};

} // namespace pedalwise::bench
