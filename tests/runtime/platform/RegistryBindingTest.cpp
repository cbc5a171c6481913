// System functions bound from their libraries at run time: the registry's at its first call.
#ifdef _WIN32

#include "runtime/platform/RuntimeError.h"
#include "runtime/platform/win/AdvapiRegistry.h"
#include "runtime/platform/win/SystemLibrary.h"
#include "runtime/platform/win/WindowsApi.h"

#include <gtest/gtest.h>

#include <string>

namespace pedalwise::test {
namespace {

using namespace runtime;

TEST(SystemLibraryBinding, onlyTheSystemFolderIsSearchedAndOnlyNamedFunctionsAreFound) {
    // The file beside the test program loads when the usual search order is asked for, so
    // its row shows the system folder alone being searched.
    const HMODULE beside = ::LoadLibraryA("pedalwise-beside-program");
    ASSERT_NE(beside, nullptr);
    ::FreeLibrary(beside);
    using Function = int(WINAPI*)();
    const struct {
        const char* library;
        const char* function;
        bool loaded;
        bool found;
    } rows[] = {
        {"version", "GetFileVersionInfoSizeA", true, true},
        {"version", "RegOpenKeyExA", true, false},
        {"pedalwise-beside-program", "pedalwiseBesideProgram", false, false},
        {"pedalwise-no-such-library", "GetFileVersionInfoSizeA", false, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.library) + " " + row.function);
        const SystemLibrary library(row.library);
        EXPECT_EQ(library.loaded(), row.loaded);
        EXPECT_EQ(library.function<Function>(row.function) != nullptr, row.found);
    }
}

TEST(RegistryBinding, aMissingLibraryOrFunctionIsARunTimeErrorAtEveryCall) {
    for (const char* library : {"pedalwise-no-such-library", "version"}) {
        SCOPED_TRACE(library);
        AdvapiRegistry registry(library);
        RegistryKey key = 0;
        EXPECT_THROW(registry.open(kLocalMachine, "SOFTWARE", 0, kKeyRead, key), RuntimeError);
        EXPECT_THROW(registry.close(key), RuntimeError);
    }
}

TEST(RegistryBinding, systemLibraryReadsTheMachineKeysAndClosesTheEmptyHandleHarmlessly) {
    AdvapiRegistry registry;
    RegistryKey key = 0;
    ASSERT_EQ(registry.open(kLocalMachine, "SOFTWARE\\Microsoft", 0, kKeyRead, key), kErrorSuccess);
    EXPECT_NE(key, 0);
    std::uint32_t type = 0;
    std::uint8_t data[16] = {};
    std::uint32_t length = sizeof data;
    EXPECT_EQ(registry.queryValue(key, "pedalwise-no-such-value", 0, type, data, length),
              kErrorFileNotFound);
    EXPECT_EQ(registry.close(key), kErrorSuccess);
    EXPECT_NE(registry.close(0), kErrorSuccess);
    RegistryKey missing = 0;
    EXPECT_EQ(registry.open(kLocalMachine, "SOFTWARE\\pedalwise-no-such-key", 0, kKeyRead, missing),
              kErrorFileNotFound);
}

} // namespace
} // namespace pedalwise::test

#endif
