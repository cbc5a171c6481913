#include "defaults/DefaultsFile.h"
#include "runtime/platform/FileSystem.h"
#include "support/FileSystemTestSupport.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

namespace {

using pedalwise::defaults::ReadDefaults;
using pedalwise::testing::TempFolder;
namespace runtime = pedalwise::runtime;

// Drive C in a temporary folder holding the defaults file with the given bytes.
class DefaultsFileFixture {
public:
    explicit DefaultsFileFixture(const std::string& bytes)
        : m_files(runtime::makeNativeFileSystem(m_temp.path())),
          m_previous(runtime::FileSystemSlot::install(m_files.get())) {
        pedalwise::testing::writeBytes(m_temp.path() / "pedalwise.dat", bytes);
    }
    DefaultsFileFixture(const DefaultsFileFixture&) = delete;
    DefaultsFileFixture& operator=(const DefaultsFileFixture&) = delete;
    ~DefaultsFileFixture() { runtime::FileSystemSlot::install(m_previous); }

private:
    TempFolder m_temp;
    std::unique_ptr<runtime::FileSystem> m_files;
    runtime::FileSystem* m_previous;
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
