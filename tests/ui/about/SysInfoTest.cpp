// The launcher's search and value reading against fake services.

#include "ui/about/SysInfo.h"
#include "FakeServices.h"

#include <gtest/gtest.h>

#include <optional>

namespace pedalwise::test {
namespace {

using ui::GetKeyValue;
using ui::StartSysInfo;

const std::string kKey = "SOFTWARE\\Test";

std::string bytes(std::initializer_list<unsigned char> values) {
    return {values.begin(), values.end()};
}

// One stored value and what GetKeyValue makes of it.
struct ReadCase {
    const char* name;
    RegistryValue stored;
    std::string keyValBefore;
    bool found;
    std::string keyValAfter;
};

void PrintTo(const ReadCase& c, std::ostream* out) {
    *out << c.name;
}

class GetKeyValueReads : public ::testing::TestWithParam<ReadCase> {};

TEST_P(GetKeyValueReads, convertsTheValueAndClosesTheKey) {
    const ReadCase& c = GetParam();
    FakeRegistry registry;
    registry.set(kKey, "Value", c.stored);
    ScopedRegistry installed(registry);

    std::string keyVal = c.keyValBefore;
    EXPECT_EQ(GetKeyValue(runtime::kLocalMachine32, kKey, "Value", keyVal), c.found);
    EXPECT_EQ(keyVal, c.keyValAfter);
    EXPECT_EQ(registry.opened.size(), 1u);
    EXPECT_EQ(registry.closed, std::vector<runtime::RegistryKey>{0x101});
    EXPECT_TRUE(registry.allClosed());
}

const std::string k1024(1024, 'x');

INSTANTIATE_TEST_SUITE_P(
    Values, GetKeyValueReads,
    ::testing::Values(
        ReadCase{"stringLosesItsNul", stringValue("C:\\Tools\\msinfo32.exe"), "", true,
                 "C:\\Tools\\msinfo32.exe"},
        ReadCase{
            "stringWithoutNulIsUsedWhole", {runtime::kRegSz, "C:\\a.exe"}, "", true, "C:\\a.exe"},
        ReadCase{"onlyTheLastNulIsDropped",
                 {runtime::kRegSz, std::string("ab\0\0", 4)},
                 "",
                 true,
                 std::string("ab\0", 3)},
        ReadCase{"exactly1024BytesAreRead", {runtime::kRegSz, k1024}, "", true, k1024},
        ReadCase{"1024BytesEndingInNulGive1023",
                 {runtime::kRegSz, k1024.substr(1) + '\0'},
                 "",
                 true,
                 k1024.substr(1)},
        ReadCase{"1025BytesCountAsAbsent", {runtime::kRegSz, k1024 + 'x'}, "stale", false, ""},
        ReadCase{"dwordIsWrittenInDecimal",
                 {runtime::kRegDword, bytes({0x78, 0x56, 0x34, 0x12})},
                 "",
                 true,
                 "305419896"},
        ReadCase{"dwordWithZeroHighByte",
                 {runtime::kRegDword, bytes({0x78, 0x56, 0x34, 0x00})},
                 "",
                 true,
                 "3430008"},
        ReadCase{"dwordIsUnsigned",
                 {runtime::kRegDword, bytes({0xFF, 0xFF, 0xFF, 0xFF})},
                 "",
                 true,
                 "4294967295"},
        ReadCase{"dwordZero", {runtime::kRegDword, bytes({0, 0, 0, 0})}, "", true, "0"},
        ReadCase{"otherTypeLeavesKeyValUnchanged", {3, bytes({1, 2, 3})}, "kept", true, "kept"},
        ReadCase{"expandableStringIsAnotherType", {2, "%SystemRoot%\\x.exe"}, "", true, ""}),
    [](const ::testing::TestParamInfo<ReadCase>& info) { return std::string(info.param.name); });

TEST(GetKeyValue, opensForReadingOnlyWithNoOptions) {
    FakeRegistry registry;
    registry.set(kKey, "Value", stringValue("x"));
    ScopedRegistry installed(registry);
    std::string keyVal;
    GetKeyValue(runtime::kLocalMachine32, kKey, "Value", keyVal);
    EXPECT_EQ(registry.openMasks, std::vector<std::uint32_t>{0x20019});
    EXPECT_EQ(registry.openOptions, std::vector<std::uint32_t>{0});
}

TEST(GetKeyValue, absentOrRefusedKeysEmptyKeyValAndCloseTheEmptyHandle) {
    FakeRegistry registry;
    registry.refuse("SOFTWARE\\Locked");
    ScopedRegistry installed(registry);
    for (const char* key : {"SOFTWARE\\Missing", "SOFTWARE\\Locked"}) {
        SCOPED_TRACE(key);
        registry.closed.clear();
        std::string keyVal = "stale";
        EXPECT_FALSE(GetKeyValue(runtime::kLocalMachine32, key, "Value", keyVal));
        EXPECT_EQ(keyVal, "");
        EXPECT_EQ(registry.closed, std::vector<runtime::RegistryKey>{0});
    }
}

TEST(GetKeyValue, absentValueClosesTheOpenedKey) {
    FakeRegistry registry;
    registry.set(kKey, "Other", stringValue("x"));
    ScopedRegistry installed(registry);
    std::string keyVal = "stale";
    EXPECT_FALSE(GetKeyValue(runtime::kLocalMachine32, kKey, "Value", keyVal));
    EXPECT_EQ(keyVal, "");
    EXPECT_TRUE(registry.allClosed());
}

TEST(GetKeyValue, zeroLengthDataIsARunTimeErrorAfterTheKeyIsClosed) {
    FakeRegistry registry;
    registry.set(kKey, "Value", {runtime::kRegSz, ""});
    ScopedRegistry installed(registry);
    std::string keyVal;
    EXPECT_THROW(GetKeyValue(runtime::kLocalMachine32, kKey, "Value", keyVal),
                 runtime::RuntimeError);
    EXPECT_EQ(registry.closed.size(), 1u);
    EXPECT_TRUE(registry.allClosed());
}

TEST(GetKeyValue, dwordDataWiderThan32BitsIsAnOverflow) {
    FakeRegistry registry;
    registry.set(kKey, "Value", {runtime::kRegDword, bytes({1, 0, 0, 0, 1})});
    ScopedRegistry installed(registry);
    std::string keyVal;
    EXPECT_THROW(GetKeyValue(runtime::kLocalMachine32, kKey, "Value", keyVal),
                 runtime::RuntimeError);
    EXPECT_TRUE(registry.allClosed());
}

// The two registry locations and what the search does with them.
const std::string kFirstKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
const std::string kSecondKey = "SOFTWARE\\Microsoft\\Shared Tools Location";

struct LaunchCase {
    const char* name;
    std::optional<RegistryValue> first;
    std::optional<RegistryValue> second;
    std::vector<std::string> files;    // what the file lookup finds
    std::vector<std::string> programs; // what can be started
    std::vector<std::string> expectedLookups;
    std::vector<std::string> expectedStarts;
    bool secondTried;
    bool message;
};

void PrintTo(const LaunchCase& c, std::ostream* out) {
    *out << c.name;
}

class StartSysInfoSearch : public ::testing::TestWithParam<LaunchCase> {};

TEST_P(StartSysInfoSearch, followsTheOrder) {
    const LaunchCase& c = GetParam();
    FakeRegistry registry;
    if (c.first) {
        registry.set(kFirstKey, "PATH", *c.first);
    }
    if (c.second) {
        registry.set(kSecondKey, "MSINFO", *c.second);
    }
    FakeFileLookup lookup;
    lookup.files = c.files;
    FakeProgramStart starter;
    starter.programs = c.programs;
    RecordingMessageBox messages;
    ScopedRegistry r(registry);
    ScopedFileLookup l(lookup);
    ScopedProgramStart s(starter);
    ScopedMessageBox m(messages);

    StartSysInfo();

    EXPECT_EQ(lookup.asked, c.expectedLookups);
    EXPECT_EQ(starter.attempted, c.expectedStarts);
    EXPECT_EQ(std::ranges::find(registry.opened, kSecondKey) != registry.opened.end(),
              c.secondTried);
    EXPECT_EQ(messages.shown,
              c.message ? std::vector<Message>{kUnavailable} : std::vector<Message>{});
    EXPECT_TRUE(registry.allClosed());
}

const std::string kViewer = "C:\\Program Files\\Common Files\\msinfo32.exe";
const std::string kToolsViewer = "C:\\Tools\\MSINFO32.EXE";

INSTANTIATE_TEST_SUITE_P(
    Locations, StartSysInfoSearch,
    ::testing::Values(
        LaunchCase{"firstStartsUntestedEvenWhenSecondIsValid",
                   stringValue(kViewer),
                   stringValue("C:\\Tools"),
                   {kToolsViewer},
                   {kViewer, kToolsViewer},
                   {},
                   {kViewer},
                   false,
                   false},
        LaunchCase{"firstNamingAMissingFileFailsWithoutTryingSecond",
                   stringValue("C:\\Gone\\msinfo32.exe"),
                   stringValue("C:\\Tools"),
                   {kToolsViewer},
                   {kToolsViewer},
                   {},
                   {"C:\\Gone\\msinfo32.exe"},
                   false,
                   true},
        LaunchCase{"secondFolderGetsTheFileName",
                   std::nullopt,
                   stringValue("C:\\Tools"),
                   {kToolsViewer},
                   {kToolsViewer},
                   {kToolsViewer},
                   {kToolsViewer},
                   true,
                   false},
        LaunchCase{"secondFolderEndingInBackslashKeepsBoth",
                   std::nullopt,
                   stringValue("C:\\Tools\\"),
                   {"C:\\Tools\\\\MSINFO32.EXE"},
                   {"C:\\Tools\\\\MSINFO32.EXE"},
                   {"C:\\Tools\\\\MSINFO32.EXE"},
                   {"C:\\Tools\\\\MSINFO32.EXE"},
                   true,
                   false},
        LaunchCase{"secondFolderWithoutTheFileFails",
                   std::nullopt,
                   stringValue("C:\\Tools"),
                   {},
                   {kToolsViewer},
                   {kToolsViewer},
                   {},
                   true,
                   true},
        LaunchCase{"bothAbsentFails", std::nullopt, std::nullopt, {}, {}, {}, {}, true, true},
        LaunchCase{"firstOfAnotherTypeStartsEmptyTextAndFails",
                   RegistryValue{3, "\x01\x02"},
                   stringValue("C:\\Tools"),
                   {kToolsViewer},
                   {kToolsViewer},
                   {},
                   {""},
                   false,
                   true},
        LaunchCase{"firstWithZeroLengthDataFailsAtOnce",
                   RegistryValue{runtime::kRegSz, ""},
                   stringValue("C:\\Tools"),
                   {kToolsViewer},
                   {kToolsViewer},
                   {},
                   {},
                   false,
                   true},
        LaunchCase{"firstLongerThanTheBufferCountsAsAbsent",
                   stringValue(std::string(1100, 'x')),
                   stringValue("C:\\Tools"),
                   {kToolsViewer},
                   {kToolsViewer},
                   {kToolsViewer},
                   {kToolsViewer},
                   true,
                   false}),
    [](const ::testing::TestParamInfo<LaunchCase>& info) { return std::string(info.param.name); });

// A fixture with every service faked, for the cases the table does not cover.
class StartSysInfoServices : public ::testing::Test {
protected:
    FakeRegistry registry;
    FakeFileLookup lookup;
    FakeProgramStart starter;
    RecordingMessageBox messages;

private:
    ScopedRegistry m_registry{registry};
    ScopedFileLookup m_lookup{lookup};
    ScopedProgramStart m_starter{starter};
    ScopedMessageBox m_messages{messages};
};

TEST_F(StartSysInfoServices, refusedFirstKeyFallsBackToTheSecond) {
    registry.refuse(kFirstKey);
    registry.set(kSecondKey, "MSINFO", stringValue("C:\\Tools"));
    lookup.files = starter.programs = {kToolsViewer};
    StartSysInfo();
    EXPECT_EQ(starter.attempted, std::vector<std::string>{kToolsViewer});
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(StartSysInfoServices, eachPressStartsAnotherCopy) {
    registry.set(kFirstKey, "PATH", stringValue(kViewer));
    starter.programs = {kViewer};
    StartSysInfo();
    StartSysInfo();
    EXPECT_EQ(starter.attempted, (std::vector<std::string>{kViewer, kViewer}));
    EXPECT_TRUE(messages.shown.empty());
}

// A registry that cannot be bound, as when the system library or a function is missing.
class UnboundRegistry final : public runtime::RegistryService {
public:
    std::int32_t open(runtime::RegistryKey, const std::string&, std::uint32_t, std::uint32_t,
                      runtime::RegistryKey&) override {
        throw runtime::RuntimeError("File not found: advapi32");
    }
    std::int32_t queryValue(runtime::RegistryKey, const std::string&, std::uint32_t, std::uint32_t&,
                            std::uint8_t*, std::uint32_t&) override {
        throw runtime::RuntimeError("File not found: advapi32");
    }
    std::int32_t close(runtime::RegistryKey) override {
        throw runtime::RuntimeError("File not found: advapi32");
    }
};

TEST_F(StartSysInfoServices, unboundRegistryLibraryShowsTheMessageOnce) {
    UnboundRegistry unbound;
    ScopedRegistry installed(unbound);
    StartSysInfo();
    EXPECT_EQ(messages.shown, std::vector<Message>{kUnavailable});
    EXPECT_TRUE(starter.attempted.empty());
}

class FailingFileLookup final : public runtime::FileLookupService {
public:
    std::string find(const std::string& path) override {
        throw runtime::RuntimeError("Bad file name or number: " + path);
    }
};

TEST_F(StartSysInfoServices, failingFileLookupShowsTheMessage) {
    registry.set(kSecondKey, "MSINFO", stringValue("C:\\Tools"));
    FailingFileLookup failing;
    ScopedFileLookup installed(failing);
    StartSysInfo();
    EXPECT_EQ(messages.shown, std::vector<Message>{kUnavailable});
    EXPECT_TRUE(starter.attempted.empty());
}

} // namespace
} // namespace pedalwise::test
