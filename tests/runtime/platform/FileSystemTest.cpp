#include "runtime/platform/FileSystem.h"

#include "support/FakeFileSystem.h"

#include <gtest/gtest.h>

#include <QDir>

#include <cstdlib>
#include <optional>
#include <string>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace pedalwise::runtime {
namespace {

using test::FakeFileSystem;
using test::namesIn;
using test::qPath;
using test::readBytes;
using test::writeBytes;

TEST(FileSystemTest, programPathsLiveBelowTheDataFolder) {
    const FakeFileSystem files;
    EXPECT_EQ(nativePath("c:\\pedalwise.dat"), qPath(files.file("pedalwise.dat")));
    EXPECT_EQ(nativePath("C:\\a\\\\b.txt"), qPath(files.folder() / "a" / "b.txt"));
    EXPECT_EQ(formerPath("c:/pedalwise.dat"), qPath(files.formerFile("pedalwise.dat")));
    EXPECT_THROW(nativePath("d:\\pedalwise.dat"), FileSystemError);
    EXPECT_THROW(nativePath("pedalwise.dat"), FileSystemError);
}

TEST(FileSystemTest, theFirstSaveMakesItsFoldersTheOwnersAlone) {
    const FakeFileSystem files;
    const std::filesystem::path target = files.folder() / "data" / "pedalwise" / "pedalwise.dat";
    saveFile(qPath(target), "27\r\n");

    EXPECT_EQ(readBytes(target), "27\r\n");
    EXPECT_EQ(namesIn(target.parent_path()), std::vector<std::string>{"pedalwise.dat"});
#ifndef _WIN32
    for (const auto& folder : {files.folder() / "data", target.parent_path()}) {
        struct stat status {};
        ASSERT_EQ(::stat(folder.c_str(), &status), 0);
        EXPECT_EQ(status.st_mode & 0777, 0700u) << folder;
    }
#endif
}

TEST(FileSystemTest, savingReplacesTheWholeFile) {
    const FakeFileSystem files;
    const std::filesystem::path target = files.file("pedalwise.dat");
    writeBytes(target, std::string(300 * 1024, 'o'));
    const std::string bytes(200 * 1024, 'x');
    saveFile(qPath(target), QByteArray::fromStdString(bytes));

    EXPECT_EQ(readBytes(target), bytes);
    EXPECT_EQ(namesIn(files.folder()), std::vector<std::string>{"pedalwise.dat"});
}

#ifndef _WIN32

TEST(FileSystemTest, theDataFolderIsThePedalwiseFolderOfTheUsersDataHome) {
    const test::ScopedEnvironment home("HOME", "/home/rider");
    const FakeFileSystem files(FakeFileSystem::machineFolders);
    for (const char* dataHome : {"", "relative/data", "/srv/data"}) {
        const test::ScopedEnvironment data("XDG_DATA_HOME", *dataHome ? dataHome : nullptr);
        EXPECT_EQ(nativePath("c:\\pedalwise.dat"),
                  *dataHome == '/' ? "/srv/data/pedalwise/pedalwise.dat"
                                   : "/home/rider/.local/share/pedalwise/pedalwise.dat")
            << "XDG_DATA_HOME=" << dataHome;
    }
    EXPECT_EQ(formerPath("c:\\pedalwise.dat"), std::nullopt);
}

TEST(FileSystemTest, pathsInTheHomeFolderAreShownWithATilde) {
    const test::ScopedEnvironment home("HOME", "/home/rider/");
    EXPECT_EQ(displayPath("/home/rider/.local/share/pedalwise/pedalwise.dat"),
              "~/.local/share/pedalwise/pedalwise.dat");
    EXPECT_EQ(displayPath("/home/rider2/pedalwise.dat"), "/home/rider2/pedalwise.dat");
    EXPECT_EQ(displayPath("/srv/pedalwise/pedalwise.dat"), "/srv/pedalwise/pedalwise.dat");
}

TEST(FileSystemTest, aFolderThatCannotBeWrittenGivesTheSystemsReason) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "permission checks do not apply to root";
    }
    const FakeFileSystem files;
    ::chmod(files.folder().c_str(), 0500);
    try {
        saveFile(qPath(files.file("pedalwise.dat")), "27\r\n");
        FAIL() << "a file was created in a read-only folder";
    } catch (const FileSystemError& error) {
        EXPECT_STREQ(error.what(), "Permission denied");
    }
    EXPECT_TRUE(namesIn(files.folder()).empty());
    ::chmod(files.folder().c_str(), 0700);
}

#else

TEST(FileSystemTest, programFilesLiveInTheUsersRoamingAppDataAndFormerlyOnDriveC) {
    const QString roaming = QDir::fromNativeSeparators(qEnvironmentVariable("APPDATA"));
    EXPECT_EQ(nativePath("c:\\pedalwise.dat"), roaming + "/Pedalwise/pedalwise.dat");
    EXPECT_EQ(formerPath("c:\\pedalwise.dat"), "C:/pedalwise.dat");
    EXPECT_EQ(displayPath("C:/pedalwise.dat"), "C:\\pedalwise.dat");
}

#endif

} // namespace
} // namespace pedalwise::runtime
