// The system's file lookup, on a scratch folder.

#include "runtime/platform/FileLookup.h"
#include "runtime/platform/RuntimeError.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

namespace pedalwise::test {
namespace {

TEST(FileLookup, answersTheNameOfAnOrdinaryFileOnly) {
    ScratchFolder folder;
    const auto file = folder.write("Viewer Folder/MSINFO32.EXE", "x");
    EXPECT_EQ(runtime::Dir(file.string()), "MSINFO32.EXE");
    EXPECT_EQ(runtime::Dir(file.parent_path().string()), "") << "a folder is no file";
}

TEST(FileLookup, missingFilesAndFoldersGiveEmptyText) {
    ScratchFolder folder;
    EXPECT_EQ(runtime::Dir((folder.path() / "absent.exe").string()), "");
    EXPECT_EQ(runtime::Dir((folder.path() / "absent" / "x.exe").string()), "");
}

#ifndef _WIN32
TEST(FileLookup, aPathBelowAFileGivesEmptyText) {
    ScratchFolder folder;
    const auto file = folder.write("present.exe", "x");
    EXPECT_EQ(runtime::Dir((file / "x.exe").string()), "");
}

#endif

TEST(FileLookup, aPathThatNamesNoFileIsARunTimeError) {
    ScratchFolder folder;
    EXPECT_THROW(runtime::Dir(folder.path().string() + "/"), runtime::RuntimeError);
    EXPECT_THROW(runtime::Dir(""), runtime::RuntimeError);
}

} // namespace
} // namespace pedalwise::test
