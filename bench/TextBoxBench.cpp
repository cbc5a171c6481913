#include "BenchApplication.h"
#include "ui/controls/Controls.h"

#include <QAccessible>
#include <QTest>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

using pedalwise::ui::TextBox;

// A shown text box holding `length` characters, the caret at their
// end, as after typing or a paste, and its text as screen readers reach it.
class FilledBox {
public:
    explicit FilledBox(int length) : m_box(nullptr) {
        const QString pattern = QStringLiteral("52 teeth ");
        QString text;
        for (int i = 0; i < length; ++i) {
            text += pattern.at(i % pattern.size());
        }
        m_box.setText(text);
        m_box.show();
        m_shown = QTest::qWaitForWindowExposed(&m_box);
        m_text = QAccessible::queryAccessibleInterface(&m_box)->textInterface();
    }

    bool ready() const { return m_shown && m_text != nullptr; }
    TextBox& box() { return m_box; }
    QAccessibleTextInterface& text() { return *m_text; }

private:
    TextBox m_box;
    bool m_shown = false;
    QAccessibleTextInterface* m_text = nullptr;
};

// The box of a benchmark, of the length its argument gives; none where it could not be shown.
std::unique_ptr<FilledBox> Filled(benchmark::State& state) {
    pedalwise::bench::ensureApplication();
    auto filled = std::make_unique<FilledBox>(static_cast<int>(state.range(0)));
    if (!filled->ready()) {
        state.SkipWithError("the box was not shown");
        return nullptr;
    }
    return filled;
}

// One character's rectangle, the last one's, which lies farthest from the text's start.
void textBoxCharacterRect(benchmark::State& state) {
    const std::unique_ptr<FilledBox> filled = Filled(state);
    if (!filled) {
        return;
    }
    const int last = static_cast<int>(state.range(0)) - 1;
    for (auto _ : state) {
        benchmark::DoNotOptimize(filled->text().characterRect(last));
    }
}
BENCHMARK(textBoxCharacterRect)->Arg(10)->Arg(1000)->Arg(32767)->Unit(benchmark::kMicrosecond);

// The extents of the whole text, asked the way Qt's AT-SPI bridge answers them: the union of
// the rectangles of every offset from the first to the end.
void textBoxWholeRange(benchmark::State& state) {
    const std::unique_ptr<FilledBox> filled = Filled(state);
    if (!filled) {
        return;
    }
    const int length = filled->text().characterCount();
    for (auto _ : state) {
        QRect extents = filled->text().characterRect(0);
        for (int i = 1; i <= length; ++i) {
            extents |= filled->text().characterRect(i);
        }
        benchmark::DoNotOptimize(extents);
    }
}
BENCHMARK(textBoxWholeRange)->Arg(10)->Arg(1000)->Arg(32767)->Unit(benchmark::kMillisecond);

// The first rectangle asked after the text has changed: what the box answers once per text.
void textBoxRectAfterAnEdit(benchmark::State& state) {
    const std::unique_ptr<FilledBox> filled = Filled(state);
    if (!filled) {
        return;
    }
    const int last = static_cast<int>(state.range(0)) - 1;
    for (auto _ : state) {
        state.PauseTiming();
        filled->box().setSelection(last, 1);
        filled->box().insert(QString(QChar(filled->box().text().at(last) == u'x' ? u'y' : u'x')));
        state.ResumeTiming();
        benchmark::DoNotOptimize(filled->text().characterRect(last));
    }
}
BENCHMARK(textBoxRectAfterAnEdit)->Arg(10)->Arg(1000)->Arg(32767)->Unit(benchmark::kMicrosecond);

} // namespace
