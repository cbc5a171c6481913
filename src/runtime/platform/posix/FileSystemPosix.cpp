#include "runtime/platform/FileSystem.h"

#include "runtime/platform/FileSystemBackend.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <pwd.h>
#include <random>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>
#include <utility>

namespace pedalwise::runtime {
namespace {

[[noreturn]] void fail(int error) {
    throw FileSystemError(std::generic_category().message(error));
}

std::filesystem::path homeFolder() {
    if (const char* home = std::getenv("HOME"); home != nullptr && home[0] == '/') {
        return home;
    }
    if (const passwd* entry = getpwuid(getuid()); entry != nullptr && entry->pw_dir != nullptr) {
        return entry->pw_dir;
    }
    throw FileSystemError("The home folder is unknown");
}

// A relative XDG_DATA_HOME is invalid and must be ignored, as the XDG base directory
// rules say.
std::filesystem::path dataFolder() {
    if (const char* data = std::getenv("XDG_DATA_HOME"); data != nullptr && data[0] == '/') {
        return std::filesystem::path(data) / "pedalwise";
    }
    return homeFolder() / ".local" / "share" / "pedalwise";
}

void makeFolders(const std::filesystem::path& folder) {
    struct stat status {};
    if (folder.empty() || ::stat(folder.c_str(), &status) == 0) {
        return;
    }
    if (folder.has_relative_path() && folder.parent_path() != folder) {
        makeFolders(folder.parent_path());
    }
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
        fail(errno);
    }
}

// Runs a read or write, again when a signal interrupted it, and returns the bytes moved.
template <typename Call> std::size_t transfer(Call call) {
    for (;;) {
        const ssize_t count = call();
        if (count >= 0) {
            return static_cast<std::size_t>(count);
        }
        if (errno != EINTR) {
            fail(errno);
        }
    }
}

// The system's calls on a file descriptor.
struct DescriptorCalls {
    using Handle = int;

    static int none() { return -1; }

    static std::size_t read(int descriptor, char* buffer, std::size_t size) {
        return transfer([&] { return ::read(descriptor, buffer, size); });
    }

    static std::size_t write(int descriptor, std::string_view bytes) {
        return transfer([&] { return ::write(descriptor, bytes.data(), bytes.size()); });
    }

    static void sync(int descriptor) {
        if (::fsync(descriptor) != 0) {
            fail(errno);
        }
    }

    static void close(int descriptor) {
        if (::close(descriptor) != 0) {
            fail(errno);
        }
    }

    static void closeQuietly(int descriptor) noexcept { ::close(descriptor); }
};

using PosixInputFile = backend::SystemInputFile<DescriptorCalls>;
using PosixOutputFile = backend::SystemOutputFile<DescriptorCalls>;

} // namespace

namespace backend {

std::string displayPath(const std::filesystem::path& path) {
    std::string text = path.string();
    if (const char* home = std::getenv("HOME"); home != nullptr && home[0] == '/') {
        std::string prefix = std::filesystem::path(home).lexically_normal().string();
        if (!prefix.ends_with('/')) {
            prefix += '/';
        }
        if (prefix != "/" && text.starts_with(prefix)) {
            return "~/" + text.substr(prefix.size());
        }
    }
    return text;
}

std::unique_ptr<InputFile> openIfPresent(const std::filesystem::path& path) {
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0 && errno == ENOENT) {
        return nullptr;
    }
    if (descriptor < 0) {
        fail(errno);
    }
    return std::make_unique<PosixInputFile>(descriptor);
}

std::unique_ptr<OutputFile> createBeside(const std::filesystem::path& target) {
    makeFolders(target.parent_path());
    for (int attempt = 0;; ++attempt) {
        std::filesystem::path temporary = target;
        temporary += uniqueSuffix();
        const int descriptor =
            ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (descriptor >= 0) {
            return std::make_unique<PosixOutputFile>(descriptor, std::move(temporary));
        }
        if (errno != EEXIST || attempt == 100) {
            fail(errno);
        }
    }
}

void replace(const std::filesystem::path& from, const std::filesystem::path& to) {
    if (::rename(from.c_str(), to.c_str()) != 0) {
        fail(errno);
    }
    // The rename itself reaches the disk with the folder. The new content is in place
    // already, so a failure here is not reported as a failed save.
    const std::filesystem::path folder = to.has_parent_path() ? to.parent_path() : ".";
    if (const int descriptor = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        descriptor >= 0) {
        ::fsync(descriptor);
        ::close(descriptor);
    }
}

void remove(const std::filesystem::path& path) noexcept {
    ::unlink(path.c_str());
}

std::filesystem::path systemDataFolder() {
    return dataFolder();
}

std::optional<std::filesystem::path> systemFormerPath(std::string_view programPath) {
    static_cast<void>(programPath);
    return std::nullopt;
}

std::string notFoundReason() {
    return std::generic_category().message(ENOENT);
}

} // namespace backend

} // namespace pedalwise::runtime
