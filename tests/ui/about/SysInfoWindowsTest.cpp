// The launcher on Windows (run under Wine) with the system's own registry, file lookup and
// program start. The tests write the registry values themselves, including a string stored
// without its NUL, which the reg tool cannot make, and remove them again.

#include "FakeServices.h"
#include "support/ScratchFolder.h"
#include "ui/about/SysInfo.h"

#include <gtest/gtest.h>

#define WIN32_LEAN_AND_MEAN
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <chrono>
#include <optional>
#include <thread>

namespace pedalwise::test {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// Writes and removes values below HKEY_LOCAL_MACHINE.
class RegistryWriter {
public:
    explicit RegistryWriter(std::string key) : m_key(std::move(key)) {
        m_existed = RegOpenKeyExA(HKEY_LOCAL_MACHINE, m_key.c_str(), 0, KEY_READ, &m_handle) ==
                    ERROR_SUCCESS;
        if (m_existed) {
            RegCloseKey(m_handle);
        }
        if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, m_key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                            nullptr, &m_handle, nullptr) != ERROR_SUCCESS) {
            throw std::runtime_error("cannot create HKLM\\" + m_key);
        }
    }
    // Removes the key if it made it, with everything in it.
    ~RegistryWriter() {
        RegCloseKey(m_handle);
        if (!m_existed) {
            RegDeleteTreeA(HKEY_LOCAL_MACHINE, m_key.c_str());
            RegDeleteKeyA(HKEY_LOCAL_MACHINE, m_key.c_str());
        }
    }
    RegistryWriter(const RegistryWriter&) = delete;
    RegistryWriter& operator=(const RegistryWriter&) = delete;

    const std::string& key() const { return m_key; }

    void set(const std::string& name, const RegistryValue& value) const {
        ASSERT_EQ(RegSetValueExA(m_handle, name.c_str(), 0, value.type,
                                 reinterpret_cast<const BYTE*>(value.bytes.data()),
                                 static_cast<DWORD>(value.bytes.size())),
                  ERROR_SUCCESS);
    }
    void remove(const std::string& name) const { RegDeleteValueA(m_handle, name.c_str()); }

    std::optional<RegistryValue> get(const std::string& name) const {
        DWORD type = 0;
        DWORD size = 0;
        if (RegQueryValueExA(m_handle, name.c_str(), nullptr, &type, nullptr, &size) !=
            ERROR_SUCCESS) {
            return std::nullopt;
        }
        std::string bytes(size, '\0');
        RegQueryValueExA(m_handle, name.c_str(), nullptr, &type,
                         reinterpret_cast<BYTE*>(bytes.data()), &size);
        return RegistryValue{type, bytes};
    }

private:
    std::string m_key;
    bool m_existed = false;
    HKEY m_handle = nullptr;
};

std::string dword(std::uint32_t number) {
    return {reinterpret_cast<const char*>(&number), sizeof number};
}

// A key of this process's own, so that test processes running side by side never meet.
std::string scratchKey() {
    return "SOFTWARE\\Pedalwise Test " + std::to_string(GetCurrentProcessId());
}

struct ReadCase {
    const char* name;
    RegistryValue stored;
    bool found;
    std::string keyVal;
};

void PrintTo(const ReadCase& c, std::ostream* out) {
    *out << c.name;
}

class RealRegistryReads : public ::testing::TestWithParam<ReadCase> {};

TEST_P(RealRegistryReads, likeTheFakeOne) {
    const ReadCase& c = GetParam();
    RegistryWriter writer(scratchKey());
    writer.set("Value", c.stored);
    std::string keyVal = "stale";
    EXPECT_EQ(ui::GetKeyValue(runtime::kLocalMachine32, writer.key(), "Value", keyVal), c.found);
    EXPECT_EQ(keyVal, c.keyVal);
}

const std::string k1024(1024, 'x');

const std::vector<ReadCase> kReadCases = {
    {"stringWithNul", stringValue("C:\\a b\\x.exe"), true, "C:\\a b\\x.exe"},
    {"stringWithoutNul", {REG_SZ, "C:\\a.exe"}, true, "C:\\a.exe"},
    // The system's ANSI query adds a NUL to a string stored without one and counts it, so
    // the buffer's limit is shown with strings that have theirs and with binary data.
    {"exactly1024BytesWithNul", stringValue(k1024.substr(1)), true, k1024.substr(1)},
    {"1025BytesWithNulAreAbsent", stringValue(k1024), false, ""},
    {"binaryOfExactly1024BytesIsFound", {REG_BINARY, k1024}, true, "stale"},
    {"binaryOf1025BytesIsAbsent", {REG_BINARY, k1024 + 'x'}, false, ""},
    {"dword", {REG_DWORD, dword(0x12345678)}, true, "305419896"},
    {"dwordWithZeroHighByte", {REG_DWORD, dword(0x00345678)}, true, "3430008"},
    {"binaryLeavesKeyValUnchanged", {REG_BINARY, "\x01\x02"}, true, "stale"},
};

INSTANTIATE_TEST_SUITE_P(Values, RealRegistryReads, ::testing::ValuesIn(kReadCases),
                         [](const ::testing::TestParamInfo<ReadCase>& info) {
                             return std::string(info.param.name);
                         });

TEST(RealRegistry, absentValuesAndKeysAreNotFoundAndZeroLengthDataIsAnError) {
    RegistryWriter writer(scratchKey());
    writer.set("Empty", {REG_SZ, ""});
    std::string keyVal = "stale";
    EXPECT_FALSE(ui::GetKeyValue(runtime::kLocalMachine32, writer.key(), "Absent", keyVal));
    EXPECT_EQ(keyVal, "");
    EXPECT_FALSE(
        ui::GetKeyValue(runtime::kLocalMachine32, writer.key() + "\\Absent", "Value", keyVal));
    EXPECT_THROW(ui::GetKeyValue(runtime::kLocalMachine32, writer.key(), "Empty", keyVal),
                 runtime::RuntimeError);
}

bool waitFor(const fs::path& file, std::chrono::milliseconds limit = 20s) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!fs::exists(file)) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(20ms);
    }
    return true;
}

std::string contentOf(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

fs::path markerProgram() {
    char self[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, self, MAX_PATH);
    return fs::path(std::string(self, length)).parent_path() / "sysinfo_marker.exe";
}

// The two real locations, written by the tests. Test processes run side by side, so a
// machine-wide lock keeps them from writing the locations at the same time; what was there
// before is put back.
class RealLocations : public ::testing::Test {
protected:
    void SetUp() override {
        m_lock = CreateMutexA(nullptr, FALSE, "PedalwiseSysInfoLocationsTest");
        ASSERT_EQ(WaitForSingleObject(m_lock, 120000), WAIT_OBJECT_0);
        m_first.emplace("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO");
        m_second.emplace("SOFTWARE\\Microsoft\\Shared Tools Location");
        m_savedFirst = m_first->get("PATH");
        m_savedSecond = m_second->get("MSINFO");
        m_first->remove("PATH");
        m_second->remove("MSINFO");
        SetEnvironmentVariableA("PEDALWISE_MARKER", marker().string().c_str());
        SetEnvironmentVariableA("PEDALWISE_RELEASE", (folder.path() / "release").string().c_str());
    }
    void TearDown() override {
        if (m_first) {
            restore(*m_first, "PATH", m_savedFirst);
            restore(*m_second, "MSINFO", m_savedSecond);
            m_first.reset();
            m_second.reset();
        }
        // A viewer still waiting is let go before its folder is removed.
        if (fs::exists(marker())) {
            folder.write("release", "");
            waitFor(marker().string() + ".ended");
        }
        ReleaseMutex(m_lock);
        CloseHandle(m_lock);
    }

    void setFirst(const std::string& path) const { m_first->set("PATH", stringValue(path)); }
    void setSecond(const std::string& folder) const {
        m_second->set("MSINFO", stringValue(folder));
    }

    fs::path marker() const { return folder.path() / "marker"; }

    // A copy of the marker program at a path below the scratch folder.
    fs::path installViewer(const fs::path& relative) const {
        const fs::path viewer = folder.path() / relative;
        fs::create_directories(viewer.parent_path());
        fs::copy_file(markerProgram(), viewer);
        return viewer;
    }

    // Proves that StartSysInfo returned while the viewer was still running, and that the
    // viewer got the path whole as its own name, and no argument.
    void expectRunningViewer(const std::string& path) {
        EXPECT_TRUE(messages.shown.empty());
        EXPECT_FALSE(fs::exists(marker().string() + ".ended"));
        ASSERT_TRUE(waitFor(marker())) << "the viewer did not start";
        EXPECT_EQ(contentOf(marker()), path) << "the path whole, and no argument";
        folder.write("release", "");
        EXPECT_TRUE(waitFor(marker().string() + ".ended"));
    }

    ScratchFolder folder;
    RecordingMessageBox messages;

private:
    static void restore(const RegistryWriter& writer, const std::string& name,
                        const std::optional<RegistryValue>& saved) {
        if (saved) {
            writer.set(name, *saved);
        } else {
            writer.remove(name);
        }
    }

    ScopedMessageBox m_messages{messages};
    HANDLE m_lock = nullptr;
    std::optional<RegistryWriter> m_first;
    std::optional<RegistryWriter> m_second;
    std::optional<RegistryValue> m_savedFirst;
    std::optional<RegistryValue> m_savedSecond;
};

TEST_F(RealLocations, firstLocationStartsAPathWithBlanksWithoutWaiting) {
    const fs::path viewer = installViewer("Viewer Folder\\msinfo32.exe");
    setFirst(viewer.string());
    ui::StartSysInfo();
    expectRunningViewer(viewer.string());
}

TEST_F(RealLocations, firstLocationNamingAMissingFileGivesTheMessageWithoutTheSecond) {
    installViewer("Tools\\MSINFO32.EXE");
    setFirst((folder.path() / "absent.exe").string());
    setSecond((folder.path() / "Tools").string());
    ui::StartSysInfo();
    EXPECT_EQ(messages.shown, std::vector<Message>{kUnavailable});
    EXPECT_FALSE(waitFor(marker(), 1s)) << "the second location was started";
}

TEST_F(RealLocations, secondFolderEndingInABackslashIsStartedWithTheDoubledBackslash) {
    installViewer("Tools\\MSINFO32.EXE");
    const std::string folderText = (folder.path() / "Tools").string() + "\\";
    setSecond(folderText);
    ui::StartSysInfo();
    expectRunningViewer(folderText + "\\MSINFO32.EXE");
}

TEST_F(RealLocations, secondFolderWithoutTheViewerGivesTheMessage) {
    setSecond(folder.path().string());
    ui::StartSysInfo();
    EXPECT_EQ(messages.shown, std::vector<Message>{kUnavailable});
}

} // namespace
} // namespace pedalwise::test
