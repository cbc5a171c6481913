#include "runtime/platform/ProgramStart.h"
#include "runtime/platform/RuntimeError.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

extern char** environ;

namespace pedalwise::runtime {
namespace {

// Starts the program from a short-lived intermediate process, which is reaped at once: the
// program is then the child of init (or of a subreaper) and never lingers as our zombie,
// without any change to the process's signal handling. The intermediate hands back
// posix_spawn's result as its exit status, so a missing or non-executable file is reported.
class SpawnedProgramStart final : public ProgramStartService {
public:
    void start(const std::string& programPath) override {
        // Everything the intermediate needs is made before fork: in the child of a threaded
        // process only async-signal-safe work is allowed.
        std::string program = programPath;
        char* argv[] = {program.data(), nullptr};

        const pid_t intermediate = ::fork();
        if (intermediate < 0) {
            throw RuntimeError(failure(programPath, errno));
        }
        if (intermediate == 0) {
            pid_t started = 0;
            const int result =
                ::posix_spawn(&started, program.c_str(), nullptr, nullptr, argv, environ);
            ::_exit(result > 0 && result < 256 ? result : (result == 0 ? 0 : 255));
        }

        int status = 0;
        while (::waitpid(intermediate, &status, 0) < 0) {
            if (errno != EINTR) {
                throw RuntimeError(failure(programPath, errno));
            }
        }
        if (!WIFEXITED(status)) {
            throw RuntimeError("Cannot start " + programPath);
        }
        if (const int error = WEXITSTATUS(status); error != 0) {
            throw RuntimeError(failure(programPath, error));
        }
    }

private:
    static std::string failure(const std::string& programPath, int error) {
        return "Cannot start " + programPath + ": " + std::strerror(error);
    }
};

} // namespace

ProgramStartService& systemProgramStartService() {
    static SpawnedProgramStart programStart;
    return programStart;
}

} // namespace pedalwise::runtime
