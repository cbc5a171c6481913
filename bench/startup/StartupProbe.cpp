#include "StartupProbe.h"

#include <QCoreApplication>
#include <QEvent>
#include <QExposeEvent>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <sys/resource.h>
#include <time.h>

#include <cstdio>
#include <string>
#include <string_view>

namespace pedalwise::bench {

namespace {

std::int64_t Nanoseconds(const timespec& t) {
    return std::int64_t{t.tv_sec} * 1'000'000'000 + t.tv_nsec;
}

rusage Usage() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage;
}

std::int64_t CpuMicroseconds(const rusage& usage) {
    auto micro = [](const timeval& t) { return std::int64_t{t.tv_sec} * 1'000'000 + t.tv_usec; };
    return micro(usage.ru_utime) + micro(usage.ru_stime);
}

} // namespace

std::int64_t MonotonicNanoseconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return Nanoseconds(now);
}

StartupProbe::Timing StartupProbe::TimingFromArguments(int argc, char** argv) {
    Timing timing;
    const std::string_view option = "--idle-ms=";
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument.starts_with(option)) {
            timing.idle =
                std::chrono::milliseconds(std::stol(std::string(argument.substr(option.size()))));
        }
    }
    return timing;
}

StartupProbe::StartupProbe(QWidget& window, std::int64_t mainStarted, std::int64_t appReady,
                           Timing timing)
    : QObject(QCoreApplication::instance()), m_window(window), m_timing(timing),
      m_mainStarted(mainStarted), m_appReady(appReady), m_windowBuilt(MonotonicNanoseconds()) {
    // On the application rather than the window: the native window that receives the expose
    // event does not exist before the widget is shown.
    QCoreApplication::instance()->installEventFilter(this);
}

bool StartupProbe::eventFilter(QObject* watched, QEvent* event) {
    if (m_exposed == 0 && event->type() == QEvent::Expose && watched == m_window.windowHandle() &&
        static_cast<QWindow*>(watched)->isExposed()) {
        m_exposed = MonotonicNanoseconds();
    } else if (m_firstPaint == 0 && event->type() == QEvent::Paint && watched == &m_window) {
        m_firstPaint = MonotonicNanoseconds();
        // The window's own paint comes first; its children and the copy to the screen follow
        // in the same pass, so the window is painted once control is back in the event loop.
        QTimer::singleShot(0, this, [this] { painted(); });
    }
    return false;
}

void StartupProbe::painted() {
    m_painted = MonotonicNanoseconds();
    QCoreApplication::instance()->removeEventFilter(this);
    QTimer::singleShot(m_timing.settle, this, [this] { startIdle(); });
}

void StartupProbe::startIdle() {
    const rusage usage = Usage();
    m_idleCpuStart = CpuMicroseconds(usage);
    m_idleSwitchesStart = usage.ru_nvcsw + usage.ru_nivcsw;
    QTimer::singleShot(m_timing.idle, this, [this] { finish(); });
}

void StartupProbe::finish() {
    const rusage usage = Usage();
    // Clock readings in nanoseconds; ru_maxrss is in kilobytes on Linux. The wake-ups are the
    // context switches while idle, one of them the probe's own timer.
    std::printf("startup main=%lld app=%lld window=%lld exposed=%lld first_paint=%lld painted=%lld "
                "maxrss_kb=%ld "
                "idle_ms=%lld idle_cpu_us=%lld idle_switches=%ld\n",
                static_cast<long long>(m_mainStarted), static_cast<long long>(m_appReady),
                static_cast<long long>(m_windowBuilt), static_cast<long long>(m_exposed),
                static_cast<long long>(m_firstPaint), static_cast<long long>(m_painted),
                usage.ru_maxrss, static_cast<long long>(m_timing.idle.count()),
                static_cast<long long>(CpuMicroseconds(usage) - m_idleCpuStart),
                usage.ru_nvcsw + usage.ru_nivcsw - m_idleSwitchesStart);
    std::fflush(stdout);
    QCoreApplication::quit();
}

} // namespace pedalwise::bench
