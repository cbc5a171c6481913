#include "runtime/platform/FileSystem.h"
#include "runtime/platform/ProgramStart.h"
#include "runtime/platform/RuntimeError.h"

#include "runtime/platform/win/WindowsApi.h"

namespace pedalwise::runtime {
namespace {

// The path goes as the application name, so the system never searches for a program in a
// prefix of it ("C:\Program.exe" for "C:\Program Files\..."); the command line only repeats
// it, quoted, as the program's own name.
class CreateProcessStart final : public ProgramStartService {
public:
    void start(const std::string& programPath) override {
        const std::wstring application = pathFromUtf8(programPath).native();
        std::wstring commandLine = L"\"" + application + L"\"";

        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESHOWWINDOW;
        startup.wShowWindow = SW_SHOWNORMAL;
        PROCESS_INFORMATION process{};
        if (!::CreateProcessW(application.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                              nullptr, nullptr, &startup, &process)) {
            throw RuntimeError("Cannot start " + programPath + " (error " +
                               std::to_string(::GetLastError()) + ")");
        }
        // Not waited for and not tracked.
        ::CloseHandle(process.hThread);
        ::CloseHandle(process.hProcess);
    }
};

} // namespace

ProgramStartService& systemProgramStartService() {
    static CreateProcessStart programStart;
    return programStart;
}

} // namespace pedalwise::runtime
