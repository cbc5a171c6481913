// Linux has no registry. The one setting the program reads from it, the full path of the
// system-information viewer, is answered from the viewers installed on PATH; every other key
// is absent.

#include "runtime/platform/Registry.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <string_view>

namespace pedalwise::runtime {
namespace {

constexpr std::string_view kViewerKeyPath = R"(SOFTWARE\Microsoft\Shared Tools\MSINFO)";
constexpr std::string_view kViewerValueName = "PATH";
constexpr RegistryKey kViewerKey = 1;

// In order of preference.
constexpr std::array<std::string_view, 3> kViewers = {"hardinfo2", "hardinfo", "kinfocenter"};

// Key and value names ignore case, as the Windows registry's do.
bool sameName(std::string_view a, std::string_view b) {
    return std::ranges::equal(
        a, b, [](unsigned char x, unsigned char y) { return std::tolower(x) == std::tolower(y); });
}

bool isExecutableFile(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
           ::access(path.c_str(), X_OK) == 0;
}

// Only absolute folders of PATH count: a relative one would make the answer depend on the
// working directory, and the answer must be a full path.
std::string firstViewerOnPath() {
    const char* searchPath = std::getenv("PATH");
    if (searchPath == nullptr) {
        return {};
    }
    const std::string_view folders = searchPath;
    for (const std::string_view viewer : kViewers) {
        for (std::size_t begin = 0; begin <= folders.size();) {
            std::size_t end = folders.find(':', begin);
            if (end == std::string_view::npos) {
                end = folders.size();
            }
            const std::string_view folder = folders.substr(begin, end - begin);
            begin = end + 1;
            if (folder.empty() || folder.front() != '/') {
                continue;
            }
            std::string candidate(folder);
            if (candidate.back() != '/') {
                candidate += '/';
            }
            candidate += viewer;
            if (isExecutableFile(candidate)) {
                return candidate;
            }
        }
    }
    return {};
}

// The viewer's path as the string value "PATH" of the viewer key, with its terminating NUL.
class ViewerRegistry final : public RegistryService {
public:
    std::int32_t open(RegistryKey root, const std::string& keyPath, std::uint32_t /*options*/,
                      std::uint32_t /*samDesired*/, RegistryKey& handle) override {
        if (root != kLocalMachine || !sameName(keyPath, kViewerKeyPath)) {
            return kErrorFileNotFound;
        }
        handle = kViewerKey;
        return kErrorSuccess;
    }

    std::int32_t queryValue(RegistryKey key, const std::string& valueName,
                            std::uint32_t /*reserved*/, std::uint32_t& type, std::uint8_t* data,
                            std::uint32_t& length) override {
        if (key != kViewerKey) {
            return kErrorInvalidHandle;
        }
        const std::string viewer = sameName(valueName, kViewerValueName) ? firstViewerOnPath() : "";
        if (viewer.empty()) {
            return kErrorFileNotFound;
        }
        const auto needed = static_cast<std::uint32_t>(viewer.size() + 1);
        type = kRegSz;
        if (data == nullptr || needed > length) {
            length = needed;
            return kErrorMoreData;
        }
        std::memcpy(data, viewer.c_str(), needed);
        length = needed;
        return kErrorSuccess;
    }

    std::int32_t close(RegistryKey key) override {
        return key == kViewerKey ? kErrorSuccess : kErrorInvalidHandle;
    }
};

} // namespace

RegistryService& systemRegistryService() {
    static ViewerRegistry registry;
    return registry;
}

} // namespace pedalwise::runtime
