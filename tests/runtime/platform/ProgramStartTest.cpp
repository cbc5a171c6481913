// Failures of the system's program start; its successes are proved through the launcher's
// tests, which watch a started program at work.

#include "runtime/platform/ProgramStart.h"
#include "runtime/platform/RuntimeError.h"
#include "support/FakeFileSystem.h"

#include <gtest/gtest.h>

namespace pedalwise::test {
namespace {

TEST(ProgramStart, missingFilesFoldersAndEmptyPathsAreRunTimeErrors) {
    ScratchFolder folder;
    EXPECT_THROW(runtime::StartProgram((folder.path() / "absent.exe").string()),
                 runtime::RuntimeError);
    EXPECT_THROW(runtime::StartProgram(folder.path().string()), runtime::RuntimeError);
    EXPECT_THROW(runtime::StartProgram(""), runtime::RuntimeError);
}

TEST(ProgramStart, aFileThatIsNoProgramIsARunTimeError) {
    ScratchFolder folder;
    const auto text = folder.write("notes.exe", "not a program\n");
#ifndef _WIN32
    std::filesystem::permissions(text, std::filesystem::perms::owner_all);
#endif
    EXPECT_THROW(runtime::StartProgram(text.string()), runtime::RuntimeError);
}

#ifndef _WIN32
TEST(ProgramStart, aFileWithoutRunPermissionIsARunTimeError) {
    ScratchFolder folder;
    const auto script = folder.write("viewer", "#!/bin/sh\n");
    std::filesystem::permissions(script, std::filesystem::perms::owner_read);
    EXPECT_THROW(runtime::StartProgram(script.string()), runtime::RuntimeError);
}

// The first name found wins wherever on PATH it is; only programs in absolute folders count.
TEST(FindProgram, takesTheNamesInTheirOrderFromTheAbsoluteFoldersOfPath) {
    ScratchFolder folder;
    const auto program = [&folder](const char* relative, bool runs = true) {
        const auto file = folder.write(relative, "#!/bin/sh\n");
        std::filesystem::permissions(file, runs ? std::filesystem::perms::owner_all
                                                : std::filesystem::perms::owner_read);
        return file.string();
    };
    const std::string early = (folder.path() / "early").string();
    const std::string late = (folder.path() / "late").string();
    const test::ScopedEnvironment path("PATH", (":relative:" + early + ":" + late + "/").c_str());
    const auto find = [] { return runtime::FindProgram({"viewer2", "viewer", "other"}); };

    EXPECT_EQ(find(), "");
    // A relative folder would be found from the working folder.
    const auto working = std::filesystem::current_path();
    std::filesystem::current_path(folder.path());
    program("relative/viewer2");
    program("early/viewer2", false);
    std::filesystem::create_directories(folder.path() / "early/viewer");
    const std::string other = program("early/other");
    EXPECT_EQ(find(), other);
    const std::string viewer = program("late/viewer");
    EXPECT_EQ(find(), viewer);
    const std::string viewer2 = program("late/viewer2");
    EXPECT_EQ(find(), viewer2);

    const test::ScopedEnvironment noPath("PATH", nullptr);
    EXPECT_EQ(find(), "");
    std::filesystem::current_path(working);
}
#endif

} // namespace
} // namespace pedalwise::test
