#include "runtime/platform/FileLookup.h"
#include "runtime/platform/FileSystem.h"
#include "runtime/platform/RuntimeError.h"

#include "runtime/platform/win/WindowsApi.h"

namespace pedalwise::runtime {
namespace {

constexpr DWORD kNotOrdinary = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN |
                               FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DEVICE;

// Wildcards in the path match as the system's search does; the first ordinary file wins.
class FindFileLookup final : public FileLookupService {
public:
    std::string find(const std::string& path) override {
        WIN32_FIND_DATAW found{};
        HANDLE search = ::FindFirstFileW(pathFromUtf8(path).c_str(), &found);
        if (search == INVALID_HANDLE_VALUE) {
            const DWORD error = ::GetLastError();
            if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ||
                error == ERROR_NO_MORE_FILES) {
                return {};
            }
            throw RuntimeError("Bad file name or number: " + path + " (error " +
                               std::to_string(error) + ")");
        }
        std::string name;
        do {
            if ((found.dwFileAttributes & kNotOrdinary) == 0) {
                name = pathToUtf8(found.cFileName);
                break;
            }
        } while (::FindNextFileW(search, &found));
        ::FindClose(search);
        return name;
    }
};

} // namespace

FileLookupService& systemFileLookupService() {
    static FindFileLookup lookup;
    return lookup;
}

} // namespace pedalwise::runtime
