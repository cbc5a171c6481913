#include "defaults/DefaultsFile.h"
#include "support/FakeFileSystem.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

namespace {

using pedalwise::defaults::ReadDefaults;

// The defaults file in a scratch folder, with the given bytes.
class DefaultsFileFixture {
public:
    explicit DefaultsFileFixture(const std::string& bytes) {
        pedalwise::test::writeBytes(m_files.file("pedalwise.dat"), bytes);
    }

private:
    pedalwise::test::FakeFileSystem m_files;
};

// The file part of one default loading: open, five lines, close.
void readDefaultsOfATypicalFile(benchmark::State& state) {
    const DefaultsFileFixture file("27\r\n48\r\n16\r\n1\r\n1\r\n");
    for (auto _ : state) {
        benchmark::DoNotOptimize(ReadDefaults());
    }
}
BENCHMARK(readDefaultsOfATypicalFile);

// A damaged file with 50 MB on its first line: the cost of reading it grows only linearly.
void readDefaultsOfAFiftyMegabyteLine(benchmark::State& state) {
    const DefaultsFileFixture file(std::string(50'000'000, '7') + "\r\n48\r\n16\r\n1\r\n1\r\n");
    for (auto _ : state) {
        benchmark::DoNotOptimize(ReadDefaults());
    }
}
BENCHMARK(readDefaultsOfAFiftyMegabyteLine)->Unit(benchmark::kMillisecond);

} // namespace
