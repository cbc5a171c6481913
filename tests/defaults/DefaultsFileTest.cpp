#include "defaults/DefaultsFile.h"

#include "runtime/platform/RuntimeError.h"
#include "support/FakeFileSystem.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace pedalwise::defaults {

// Shows failed comparisons as the five texts rather than as bytes.
void PrintTo(const DefaultValues& values, std::ostream* out) {
    *out << ::testing::PrintToString(std::vector<std::string>{
        values.Wheel, values.Drive1, values.Driven1, values.Drive2, values.Driven2});
}

namespace {

using test::FakeFileSystem;
using test::namesIn;
using test::readBytes;
using test::writeBytes;
using Step = FakeFileSystem::Step;

DefaultValues values(std::string wheel, std::string drive1, std::string driven1, std::string drive2,
                     std::string driven2) {
    return {std::move(wheel), std::move(drive1), std::move(driven1), std::move(drive2),
            std::move(driven2)};
}

// Every test gets scratch folders as the user's folder and as the drive C where earlier
// versions kept the file.
class DefaultsFileTest : public ::testing::Test {
protected:
    std::filesystem::path file() const { return m_files.file("pedalwise.dat"); }
    std::string failedSave(const std::string& reason) const {
        return "The defaults could not be saved to " +
               runtime::displayPath(runtime::nativePath(kDefaultsPath)).toStdString() + ": " +
               reason;
    }

    FakeFileSystem m_files;
};

struct ReadCase {
    const char* name;
    std::string bytes;
    std::optional<DefaultValues> expected;
};

// A read takes the file in pieces of this size; lines and line ends that straddle two
// pieces must read like any other.
constexpr std::size_t kPiece = 64 * 1024;

std::vector<ReadCase> readCases() {
    const std::string longLine(kPiece + 10, 'w');
    const std::string upToPiece(kPiece - 1, 'w');
    const std::string enormousLine(kLongestLine + 3 * kPiece, 'w');
    return {
        {"the eighteen-byte example", "27\r\n48\r\n16\r\n1\r\n1\r\n",
         values("27", "48", "16", "1", "1")},
        {"five empty lines in ten bytes", "\r\n\r\n\r\n\r\n\r\n", values("", "", "", "", "")},
        {"the fifth line ends at the end of the file", "27\r\n48\r\n16\r\n1\r\n1",
         values("27", "48", "16", "1", "1")},
        {"a lone CR ends a line", "27\r48\r16\r1\r1\r", values("27", "48", "16", "1", "1")},
        {"a lone LF belongs to the line", "27\r4\n8\r\n16\n\r\n\n1\r\n1\r\n",
         values("27", "4\n8", "16\n", "\n1", "1")},
        {"CR CR LF is a line end followed by an empty line", "27\r\r\n48\r\n16\r\n1\r\n",
         values("27", "", "48", "16", "1")},
        {"blanks are kept", " 27\r\n48 \r\n 16 \r\n\t1\r\n  \r\n",
         values(" 27", "48 ", " 16 ", "\t1", "  ")},
        {"texts that are not numbers are kept", "abc\r\n-\r\n1e999\r\n.\r\nx,y\r\n",
         values("abc", "-", "1e999", ".", "x,y")},
        {"lines after the fifth are ignored", "1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7",
         values("1", "2", "3", "4", "5")},
        {"a line longer than a piece", longLine + "\r\n2\r\n3\r\n4\r\n5\r\n",
         values(longLine, "2", "3", "4", "5")},
        {"a CR LF pair split between two pieces", upToPiece + "\r\n2\r\n3\r\n4\r\n5",
         values(upToPiece, "2", "3", "4", "5")},
        {"of an enormous line only the start is kept", enormousLine + "\r\n2\r\n3\r\n4\r\n5",
         values(enormousLine.substr(0, kLongestLine), "2", "3", "4", "5")},
        {"an empty file", "", std::nullopt},
        {"four lines", "27\r\n48\r\n16\r\n1\r\n", std::nullopt},
        {"four lines ending in lone CRs", "27\r48\r16\r1\r", std::nullopt},
        {"LF-only lines are one line", "27\n48\n16\n1\n1\n", std::nullopt},
    };
}

void expectEveryReadCase(const std::filesystem::path& file) {
    for (const ReadCase& readCase : readCases()) {
        SCOPED_TRACE(readCase.name);
        writeBytes(file, readCase.bytes);
        EXPECT_EQ(ReadDefaults(), readCase.expected);
    }
}

TEST_F(DefaultsFileTest, readsFiveLinesOrNothing) {
    expectEveryReadCase(file());
}

TEST_F(DefaultsFileTest, readingWithoutAFileFailsAndCreatesNothing) {
    std::filesystem::remove(m_files.folder());
    EXPECT_EQ(ReadDefaults(), std::nullopt);
    EXPECT_FALSE(std::filesystem::exists(m_files.folder()));
}

TEST(DefaultsFormatTest, readingStopsAfterTheFifthLine) {
    const std::string bytes = "27\r\n48\r\n16\r\n1\r\n1\r\n" + std::string(4 * kPiece, 'x');
    std::size_t taken = 0;
    EXPECT_EQ(ParseDefaults([&](char* buffer, std::size_t size) {
                  const std::size_t count = std::min(size, bytes.size() - taken);
                  std::copy_n(bytes.data() + taken, count, buffer);
                  taken += count;
                  return count;
              }),
              values("27", "48", "16", "1", "1"));
    EXPECT_LE(taken, kPiece);
}

TEST_F(DefaultsFileTest, writesEachTextFollowedByCrLf) {
    WriteDefaults(values("27", "48", "16", "1", "1"));
    EXPECT_EQ(readBytes(file()), "27\r\n48\r\n16\r\n1\r\n1\r\n");
    WriteDefaults(values("", "", "", "", ""));
    EXPECT_EQ(readBytes(file()), "\r\n\r\n\r\n\r\n\r\n");
    WriteDefaults(values(" 27 ", "abc", "", "1e999", "-"));
    EXPECT_EQ(readBytes(file()), " 27 \r\nabc\r\n\r\n1e999\r\n-\r\n");
    EXPECT_EQ(namesIn(m_files.folder()), std::vector<std::string>{"pedalwise.dat"});
}

TEST_F(DefaultsFileTest, whatIsWrittenReadsBack) {
    for (const DefaultValues& written :
         {values("27", "48", "16", "1", "1"), values("", "", "", "", ""),
          values("  26.5 ", "x", "", "0", "-3,5")}) {
        WriteDefaults(written);
        EXPECT_EQ(ReadDefaults(), written);
    }
}

// Defaults saved on drive C by an earlier program load until the first save, which goes to the
// user's folder; the old file is never written, and is read only while the user's is absent.
TEST_F(DefaultsFileTest, anEarlierFileOnDriveCLoadsUntilTheFirstSave) {
    const std::string earlier = "26\r\n52\r\n14\r\n1\r\n1\r\n";
    writeBytes(m_files.formerFile("pedalwise.dat"), earlier);
    EXPECT_EQ(ReadDefaults(), values("26", "52", "14", "1", "1"));
    WriteDefaults(values("27", "48", "16", "1", "1"));
    EXPECT_EQ(readBytes(file()), "27\r\n48\r\n16\r\n1\r\n1\r\n");
    EXPECT_EQ(readBytes(m_files.formerFile("pedalwise.dat")), earlier);
    EXPECT_EQ(ReadDefaults(), values("27", "48", "16", "1", "1"));

    writeBytes(file(), "27\r\n");
    EXPECT_EQ(ReadDefaults(), std::nullopt);
    std::filesystem::remove(file());
    std::filesystem::create_directory(file());
    EXPECT_EQ(ReadDefaults(), std::nullopt);
    std::filesystem::remove(file());
    EXPECT_EQ(ReadDefaults(), values("26", "52", "14", "1", "1"));
}

class SaveFailureTest : public DefaultsFileTest, public ::testing::WithParamInterface<Step> {};

TEST_P(SaveFailureTest, aFailedStepKeepsTheOldFileAndLeavesNothingBehind) {
    const std::string old = "26\r\n52\r\n14\r\n1\r\n1\r\n";
    writeBytes(file(), old);
    m_files.failAt(GetParam(), "No space left on device");
    try {
        WriteDefaults(values("27", "48", "16", "1", "1"));
        FAIL() << "the save reported success";
    } catch (const runtime::RuntimeError& error) {
        EXPECT_EQ(error.what(), failedSave("No space left on device"));
    }
    EXPECT_EQ(readBytes(file()), old);
    EXPECT_EQ(namesIn(m_files.folder()), std::vector<std::string>{"pedalwise.dat"});
}

TEST_P(SaveFailureTest, aFailedFirstSaveLeavesNoFile) {
    m_files.failAt(GetParam());
    EXPECT_THROW(WriteDefaults(values("27", "48", "16", "1", "1")), runtime::RuntimeError);
    EXPECT_TRUE(namesIn(m_files.folder()).empty());
    EXPECT_EQ(ReadDefaults(), std::nullopt);
}

std::string stepName(const ::testing::TestParamInfo<Step>& info) {
    constexpr const char* names[] = {"open", "write", "commit"};
    return names[static_cast<int>(info.param)];
}

INSTANTIATE_TEST_SUITE_P(EachStep, SaveFailureTest,
                         ::testing::Values(Step::Open, Step::Write, Step::Commit), stepName);

#ifndef _WIN32

TEST_F(DefaultsFileTest, theFileLivesInThePedalwiseDataFolderMadeOnlyBySaving) {
    const test::ScopedEnvironment home("HOME", m_files.folder().c_str());
    const test::ScopedEnvironment data("XDG_DATA_HOME", nullptr);
    FakeFileSystem probe(FakeFileSystem::machineFolders);
    const std::filesystem::path folder = m_files.folder() / ".local" / "share" / "pedalwise";

    EXPECT_EQ(ReadDefaults(), std::nullopt);
    EXPECT_FALSE(std::filesystem::exists(m_files.folder() / ".local"));

    probe.failAt(Step::Open, "Permission denied");
    try {
        WriteDefaults(values("27", "48", "16", "1", "1"));
        FAIL() << "the save reported success";
    } catch (const runtime::RuntimeError& error) {
        EXPECT_STREQ(error.what(), "The defaults could not be saved to "
                                   "~/.local/share/pedalwise/pedalwise.dat: Permission denied");
    }

    probe.failAt(std::nullopt);
    WriteDefaults(values("27", "48", "16", "1", "1"));
    EXPECT_EQ(readBytes(folder / "pedalwise.dat"), "27\r\n48\r\n16\r\n1\r\n1\r\n");
    struct stat status {};
    ASSERT_EQ(::stat(folder.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0700u);
}

TEST_F(DefaultsFileTest, savingIntoAFolderThatCannotBeWrittenChangesNothing) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "permission checks do not apply to root; the failing steps above "
                        "cover this through the probe";
    }
    const std::string old = "26\r\n52\r\n14\r\n1\r\n1\r\n";
    writeBytes(file(), old);
    ::chmod(m_files.folder().c_str(), 0500);
    try {
        WriteDefaults(values("27", "48", "16", "1", "1"));
        FAIL() << "the save reported success";
    } catch (const runtime::RuntimeError& error) {
        EXPECT_EQ(error.what(), failedSave("Permission denied"));
    }
    ::chmod(m_files.folder().c_str(), 0700);
    EXPECT_EQ(readBytes(file()), old);
    EXPECT_EQ(namesIn(m_files.folder()), std::vector<std::string>{"pedalwise.dat"});
}

TEST_F(DefaultsFileTest, textIsStoredInTheLocalesUtf8) {
    WriteDefaults(values("27\xC3\xA9", "48", "16", "1", "1"));
    EXPECT_EQ(readBytes(file()), "27\xC3\xA9\r\n48\r\n16\r\n1\r\n1\r\n");
}

#else

TEST_F(DefaultsFileTest, textIsStoredInTheActiveCodePage) {
    if (GetACP() != 1252) {
        GTEST_SKIP() << "the cases are written for code page 1252, active is " << GetACP();
    }
    WriteDefaults(values("27\xC3\xA9", "48", "16", "1", "1"));
    EXPECT_EQ(readBytes(file()), "27\xE9\r\n48\r\n16\r\n1\r\n1\r\n");
    EXPECT_EQ(ReadDefaults(), values("27\xC3\xA9", "48", "16", "1", "1"));

    try {
        WriteDefaults(values("27", "\xE4\xB8\xAD", "16", "1", "1"));
        FAIL() << "a text the code page cannot hold was saved";
    } catch (const runtime::RuntimeError& error) {
        EXPECT_EQ(error.what(), failedSave("The text \"\xE4\xB8\xAD\" holds characters that "
                                           "the system's code page cannot store"));
    }
    EXPECT_EQ(readBytes(file()), "27\xE9\r\n48\r\n16\r\n1\r\n1\r\n");
}

// The one case that uses the Wine prefix's real folders, so that no two cases share the file:
// the user's roaming application data, and drive C where earlier versions kept the file.
TEST(RealFoldersTest, theDefaultsFileIsInTheUsersRoamingAppData) {
    runtime::FileSystem* previous = runtime::FileSystemSlot::install(nullptr);
    const std::filesystem::path folder = std::filesystem::path(_wgetenv(L"APPDATA")) / L"Pedalwise";
    const std::filesystem::path real = folder / L"pedalwise.dat";
    const std::filesystem::path earlier = L"c:\\pedalwise.dat";
    const bool hadFolder = std::filesystem::exists(folder);
    const std::optional<std::string> before = readBytes(real);
    const std::optional<std::string> beforeEarlier = readBytes(earlier);

    std::filesystem::remove(real);
    writeBytes(earlier, "26\r\n52\r\n14\r\n1\r\n1\r\n");
    EXPECT_EQ(ReadDefaults(), values("26", "52", "14", "1", "1"));
    WriteDefaults(values("27", "48", "16", "1", "1"));
    EXPECT_EQ(readBytes(real), "27\r\n48\r\n16\r\n1\r\n1\r\n");
    EXPECT_EQ(readBytes(earlier), "26\r\n52\r\n14\r\n1\r\n1\r\n");
    EXPECT_EQ(ReadDefaults(), values("27", "48", "16", "1", "1"));
    if (GetACP() == 1252) {
        try {
            WriteDefaults(values("", "\xE4\xB8\xAD", "", "", ""));
            ADD_FAILURE() << "a text the code page cannot hold was saved";
        } catch (const runtime::RuntimeError& error) {
            EXPECT_TRUE(
                std::string(error.what())
                    .starts_with("The defaults could not be saved to " + real.string() + ": "))
                << error.what();
        }
        EXPECT_EQ(readBytes(real), "27\r\n48\r\n16\r\n1\r\n1\r\n");
    }
    expectEveryReadCase(real);

    for (const auto& [path, bytes] : {std::pair(real, before), std::pair(earlier, beforeEarlier)}) {
        if (bytes) {
            writeBytes(path, *bytes);
        } else {
            std::filesystem::remove(path);
        }
    }
    if (!hadFolder) {
        std::filesystem::remove(folder);
    }
    runtime::FileSystemSlot::install(previous);
}

#endif

} // namespace
} // namespace pedalwise::defaults
