#include "runtime/platform/FileSystem.h"

#include "support/FileSystemTestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace pedalwise::runtime {
namespace {

using testing::namesIn;
using testing::readBytes;
#ifndef _WIN32
using testing::ScopedEnvironment;
#endif
using testing::TempFolder;
using testing::writeBytes;

std::string readAll(InputFile& file) {
    std::string text;
    char buffer[7];
    while (const std::size_t count = file.read(buffer, sizeof buffer)) {
        text.append(buffer, count);
    }
    return text;
}

// Absent, whether the folder is there or not, is told apart from other failures to open.
TEST(FileSystemTest, readingAMissingFileFailsAndCreatesNothing) {
    TempFolder temp;
    const auto files = makeNativeFileSystem(temp.path() / "drive-c");
    EXPECT_THROW(files->openForInput(files->nativePath("c:\\pedalwise.dat")), FileNotFound);
    EXPECT_THROW(files->openForInput(temp.path() / "pedalwise.dat"), FileNotFound);
    EXPECT_EQ(files->openIfPresent(files->nativePath("c:\\pedalwise.dat")), nullptr);
    EXPECT_EQ(files->openIfPresent(temp.path() / "pedalwise.dat"), nullptr);
    EXPECT_FALSE(std::filesystem::exists(temp.path() / "drive-c"));
}

TEST(FileSystemTest, programPathsLiveBelowTheFolderGivenAsDriveC) {
    TempFolder temp;
    const auto files = makeNativeFileSystem(temp.path());
    EXPECT_EQ(files->nativePath("c:\\pedalwise.dat"), temp.path() / "pedalwise.dat");
    EXPECT_EQ(files->nativePath("C:\\a\\b.txt"), temp.path() / "a" / "b.txt");
    EXPECT_THROW(files->nativePath("d:\\pedalwise.dat"), FileSystemError);
    EXPECT_EQ(files->formerPath("c:\\pedalwise.dat"), std::nullopt);
}

TEST(FileSystemTest, theFirstFileWrittenCreatesItsFolders) {
    TempFolder temp;
    const auto files = makeNativeFileSystem(temp.path() / "data" / "pedalwise");
    const std::filesystem::path target = files->nativePath("c:\\pedalwise.dat");
    replaceFileContents(*files, target, "27\r\n");

    EXPECT_EQ(readBytes(target), "27\r\n");
    EXPECT_EQ(namesIn(target.parent_path()), std::vector<std::string>{"pedalwise.dat"});
#ifndef _WIN32
    for (const auto& folder : {temp.path() / "data", target.parent_path()}) {
        struct stat status {};
        ASSERT_EQ(::stat(folder.c_str(), &status), 0);
        EXPECT_EQ(status.st_mode & 0777, 0700u) << folder;
    }
#endif
}

TEST(FileSystemTest, replacingContentsSwapsTheWholeFileAndReadsBackInPieces) {
    TempFolder temp;
    const auto files = makeNativeFileSystem(temp.path());
    const std::filesystem::path target = temp.path() / "pedalwise.dat";
    writeBytes(target, "an older and much longer content\r\n");

    const std::string bytes(200 * 1024, 'x');
    replaceFileContents(*files, target, bytes);

    EXPECT_EQ(readAll(*files->openForInput(target)), bytes);
    EXPECT_EQ(namesIn(temp.path()), std::vector<std::string>{"pedalwise.dat"});
}

TEST(FileSystemTest, newFilesBesideATargetGetNamesOfTheirOwn) {
    TempFolder temp;
    const auto files = makeNativeFileSystem(temp.path());
    const std::filesystem::path target = temp.path() / "pedalwise.dat";
    const auto first = files->createBeside(target);
    const auto second = files->createBeside(target);

    EXPECT_NE(first->path(), second->path());
    EXPECT_EQ(first->path().parent_path(), temp.path());
    EXPECT_FALSE(std::filesystem::exists(target));
}

#ifndef _WIN32

TEST(FileSystemTest, driveCIsThePedalwiseFolderOfTheUsersDataHome) {
    ScopedEnvironment home("HOME", "/home/rider");
    const auto files = makeNativeFileSystem();
    {
        ScopedEnvironment data("XDG_DATA_HOME", nullptr);
        EXPECT_EQ(files->nativePath("c:\\pedalwise.dat"),
                  "/home/rider/.local/share/pedalwise/pedalwise.dat");
    }
    {
        ScopedEnvironment data("XDG_DATA_HOME", "/srv/data");
        EXPECT_EQ(files->nativePath("c:\\pedalwise.dat"), "/srv/data/pedalwise/pedalwise.dat");
    }
    EXPECT_EQ(files->formerPath("c:\\pedalwise.dat"), std::nullopt);
    for (const char* ignored : {"", "relative/data"}) {
        ScopedEnvironment data("XDG_DATA_HOME", ignored);
        EXPECT_EQ(files->nativePath("c:\\pedalwise.dat"),
                  "/home/rider/.local/share/pedalwise/pedalwise.dat")
            << "XDG_DATA_HOME=" << ignored;
    }
}

TEST(FileSystemTest, pathsInTheHomeFolderAreShownWithATilde) {
    ScopedEnvironment home("HOME", "/home/rider/");
    const auto files = makeNativeFileSystem();
    EXPECT_EQ(files->displayPath("/home/rider/.local/share/pedalwise/pedalwise.dat"),
              "~/.local/share/pedalwise/pedalwise.dat");
    EXPECT_EQ(files->displayPath("/home/rider2/pedalwise.dat"), "/home/rider2/pedalwise.dat");
    EXPECT_EQ(files->displayPath("/srv/pedalwise/pedalwise.dat"), "/srv/pedalwise/pedalwise.dat");
}

TEST(FileSystemTest, aFolderThatCannotBeWrittenGivesTheSystemsReason) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "permission checks do not apply to root";
    }
    TempFolder temp;
    const std::filesystem::path folder = temp.path() / "locked";
    std::filesystem::create_directory(folder);
    ::chmod(folder.c_str(), 0500);
    const auto files = makeNativeFileSystem(folder);
    try {
        files->createBeside(folder / "pedalwise.dat");
        FAIL() << "a file was created in a read-only folder";
    } catch (const FileSystemError& error) {
        EXPECT_STREQ(error.what(), "Permission denied");
    }
    EXPECT_TRUE(namesIn(folder).empty());
}

#else

TEST(FileSystemTest, programFilesLiveInTheUsersRoamingAppDataAndFormerlyOnDriveC) {
    const auto files = makeNativeFileSystem();
    const std::filesystem::path roaming = _wgetenv(L"APPDATA");
    EXPECT_EQ(files->nativePath("c:\\pedalwise.dat"), roaming / L"Pedalwise" / L"pedalwise.dat");
    EXPECT_EQ(files->formerPath("c:\\pedalwise.dat"), std::filesystem::path(L"c:\\pedalwise.dat"));
    EXPECT_EQ(files->displayPath(L"c:\\pedalwise.dat"), "c:\\pedalwise.dat");
}

#endif

} // namespace
} // namespace pedalwise::runtime
