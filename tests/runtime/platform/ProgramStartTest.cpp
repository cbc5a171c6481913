// Failures of the system's program start; its successes are proved through the launcher's
// tests, which watch a started program at work.

#include "runtime/platform/ProgramStart.h"
#include "runtime/platform/RuntimeError.h"
#include "support/ScratchFolder.h"

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
#endif

} // namespace
} // namespace pedalwise::test
