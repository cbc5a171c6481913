#include "runtime/platform/FileSystem.h"
#include "support/FileSystemTestSupport.h"
#include "ui/main/Form1.h"

#include <QApplication>
#include <QTest>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

namespace runtime = pedalwise::runtime;
using pedalwise::testing::TempFolder;

// The one Qt application of the benchmark program, on the offscreen platform so that no
// display is needed. Made on first use and kept to the end.
void ensureApplication() {
    static int argc = 1;
    static char name[] = "pedalwise_bench";
    static char* argv[] = {name, nullptr};
    static QApplication* app = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return new QApplication(argc, argv);
    }();
    (void)app;
}

// One default loading as a paint runs it: read the five lines of a typical file, set the five
// inputs and move the focus to the wheel.
void paintLoadsTheDefaults(benchmark::State& state) {
    ensureApplication();
    const TempFolder driveC;
    pedalwise::testing::writeBytes(driveC.path() / "pedalwise.dat", "27\r\n48\r\n16\r\n1\r\n1\r\n");
    const std::unique_ptr<runtime::FileSystem> files = runtime::makeNativeFileSystem(driveC.path());
    runtime::FileSystem* previous = runtime::setFileSystem(files.get());
    {
        pedalwise::ui::Form1 form;
        form.show();
        if (!QTest::qWaitForWindowExposed(&form)) {
            state.SkipWithError("the window was not shown");
        }
        QCoreApplication::processEvents();
        for (auto _ : state) {
            form.Form_Paint();
        }
        if (form.controls().txtDrive1->text() != QStringLiteral("48")) {
            state.SkipWithError("the defaults were not loaded");
        }
    }
    runtime::setFileSystem(previous);
}
BENCHMARK(paintLoadsTheDefaults)->Unit(benchmark::kMicrosecond);

} // namespace
