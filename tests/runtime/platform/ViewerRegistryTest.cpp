// Linux answers the viewer's registry value from PATH.
#ifndef _WIN32

#include "runtime/platform/Registry.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>

namespace pedalwise::test {
namespace {

namespace fs = std::filesystem;
using namespace runtime;

const std::string kViewerKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";

class ViewerRegistry : public ::testing::Test {
protected:
    void SetUp() override {
        if (const char* path = std::getenv("PATH")) {
            m_savedPath = path;
        }
    }
    void TearDown() override {
        if (m_savedPath) {
            ::setenv("PATH", m_savedPath->c_str(), 1);
        } else {
            ::unsetenv("PATH");
        }
    }

    fs::path program(const fs::path& relative, bool executable = true) const {
        const auto file = folder.write(relative, "#!/bin/sh\n");
        fs::permissions(file, executable ? fs::perms::owner_all : fs::perms::owner_read);
        return file;
    }

    static void setSearchPath(const std::string& path) { ::setenv("PATH", path.c_str(), 1); }

    // The viewer value as GetKeyValue reads it, or nothing when the key or value is absent.
    static std::optional<std::string> viewerValue() {
        RegistryService& registry = systemRegistryService();
        RegistryKey key = 0;
        if (registry.open(kLocalMachine, kViewerKey, 0, kKeyRead, key) != kErrorSuccess) {
            return std::nullopt;
        }
        std::string buffer(1024, '\0');
        std::uint32_t type = 0;
        auto length = static_cast<std::uint32_t>(buffer.size());
        const auto status = registry.queryValue(
            key, "PATH", 0, type, reinterpret_cast<std::uint8_t*>(buffer.data()), length);
        EXPECT_EQ(registry.close(key), kErrorSuccess);
        if (status != kErrorSuccess) {
            return std::nullopt;
        }
        EXPECT_EQ(type, kRegSz);
        EXPECT_GT(length, 0u);
        EXPECT_EQ(buffer[length - 1], '\0') << "the string keeps its NUL";
        return buffer.substr(0, length - 1);
    }

    ScratchFolder folder;

private:
    std::optional<std::string> m_savedPath;
};

TEST_F(ViewerRegistry, prefersHardinfo2ThenHardinfoThenKinfocenterWhereverTheyAre) {
    const auto early = folder.path() / "early";
    const auto late = folder.path() / "late";
    program("early/kinfocenter");
    program("early/hardinfo");
    const auto hardinfo2 = program("late/hardinfo2");
    setSearchPath(early.string() + ":" + late.string() + "/");

    EXPECT_EQ(viewerValue(), hardinfo2.string());
    fs::remove(hardinfo2);
    EXPECT_EQ(viewerValue(), (early / "hardinfo").string());
    fs::remove(early / "hardinfo");
    EXPECT_EQ(viewerValue(), (early / "kinfocenter").string());
}

TEST_F(ViewerRegistry, skipsFilesThatCannotRunAndRelativeFolders) {
    program("bin/hardinfo2", false);
    program("bin/hardinfo2.d/x");
    const auto hardinfo = program("bin/hardinfo");
    fs::create_directories(folder.path() / "bin/kinfocenter");
    setSearchPath(":relative:" + (folder.path() / "bin").string());
    EXPECT_EQ(viewerValue(), hardinfo.string());
}

TEST_F(ViewerRegistry, noViewerMeansTheValueIsAbsent) {
    setSearchPath(folder.path().string());
    EXPECT_EQ(viewerValue(), std::nullopt);
    ::unsetenv("PATH");
    EXPECT_EQ(viewerValue(), std::nullopt);
}

TEST_F(ViewerRegistry, aBufferTooSmallIsToldTheSizeNeeded) {
    const auto hardinfo = program("bin/hardinfo");
    setSearchPath((folder.path() / "bin").string());
    RegistryService& registry = systemRegistryService();
    RegistryKey key = 0;
    ASSERT_EQ(registry.open(kLocalMachine, kViewerKey, 0, kKeyRead, key), kErrorSuccess);
    std::uint8_t small[4] = {};
    std::uint32_t type = 0;
    std::uint32_t length = sizeof small;
    EXPECT_EQ(registry.queryValue(key, "path", 0, type, small, length), kErrorMoreData);
    EXPECT_EQ(length, hardinfo.string().size() + 1);
    registry.close(key);
}

TEST_F(ViewerRegistry, theFolderLocationAndOtherKeysAreAbsent) {
    program("bin/hardinfo");
    setSearchPath((folder.path() / "bin").string());
    RegistryService& registry = systemRegistryService();
    for (const char* keyPath : {"SOFTWARE\\Microsoft\\Shared Tools Location", "SOFTWARE"}) {
        RegistryKey key = 0;
        EXPECT_EQ(registry.open(kLocalMachine, keyPath, 0, kKeyRead, key), kErrorFileNotFound)
            << keyPath;
    }
    RegistryKey key = 0;
    EXPECT_EQ(registry.open(kLocalMachine - 1, kViewerKey, 0, kKeyRead, key), kErrorFileNotFound);
    EXPECT_NE(registry.close(0), kErrorSuccess)
        << "closing the empty handle is refused, harmlessly";
}

} // namespace
} // namespace pedalwise::test

#endif
