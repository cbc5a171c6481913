#include "BenchApplication.h"
#include "support/FakeFileSystem.h"
#include "ui/main/Form1.h"

#include <QTest>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

// One default loading as a paint runs it: read the five lines of a typical file, set the five
// inputs and move the focus to the wheel.
void paintLoadsTheDefaults(benchmark::State& state) {
    pedalwise::bench::ensureApplication();
    const pedalwise::test::FakeFileSystem files;
    pedalwise::test::writeBytes(files.file("pedalwise.dat"), "27\r\n48\r\n16\r\n1\r\n1\r\n");
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
}
BENCHMARK(paintLoadsTheDefaults)->Unit(benchmark::kMicrosecond);

} // namespace
