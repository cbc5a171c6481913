#include "runtime/platform/FileLookup.h"
#include "runtime/platform/RuntimeError.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

namespace pedalwise::runtime {
namespace {

class PosixFileLookup final : public FileLookupService {
public:
    std::string find(const std::string& path) override {
        struct stat info {};
        if (::stat(path.c_str(), &info) != 0) {
            // A missing file or folder is an answer; anything else means the path is unusable.
            if (errno == ENOENT || errno == ENOTDIR) {
                return {};
            }
            throw RuntimeError("Bad file name or number: " + path + ": " + std::strerror(errno));
        }
        if (!S_ISREG(info.st_mode)) {
            return {};
        }
        const std::size_t slash = path.rfind('/');
        return slash == std::string::npos ? path : path.substr(slash + 1);
    }
};

} // namespace

FileLookupService& systemFileLookupService() {
    static PosixFileLookup lookup;
    return lookup;
}

} // namespace pedalwise::runtime
