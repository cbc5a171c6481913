#include "runtime/platform/FileSystem.h"

#include "runtime/platform/FileSystemBackend.h"

#include <chrono>
#include <cstdio>
#include <random>
#include <utility>

namespace pedalwise::runtime {
namespace {

// The machine's file system: the folders makeNativeFileSystem was given, on the system's calls.
class NativeFileSystem final : public FileSystem {
public:
    NativeFileSystem(std::optional<std::filesystem::path> dataFolder,
                     std::optional<std::filesystem::path> formerDriveC)
        : m_dataFolder(std::move(dataFolder)), m_formerDriveC(std::move(formerDriveC)) {}

    std::filesystem::path nativePath(std::string_view programPath) const override {
        return backend::placeOnDriveC(programPath,
                                      m_dataFolder ? *m_dataFolder : backend::systemDataFolder());
    }

    std::optional<std::filesystem::path> formerPath(std::string_view programPath) const override {
        if (m_formerDriveC) {
            return backend::placeOnDriveC(programPath, *m_formerDriveC);
        }
        if (!m_dataFolder) {
            return backend::systemFormerPath(programPath);
        }
        return std::nullopt;
    }

    std::string displayPath(const std::filesystem::path& path) const override {
        return backend::displayPath(path);
    }

    std::unique_ptr<InputFile> openForInput(const std::filesystem::path& path) override {
        std::unique_ptr<InputFile> file = backend::openIfPresent(path);
        if (!file) {
            throw FileNotFound(backend::notFoundReason());
        }
        return file;
    }

    std::unique_ptr<InputFile> openIfPresent(const std::filesystem::path& path) override {
        return backend::openIfPresent(path);
    }

    std::unique_ptr<OutputFile> createBeside(const std::filesystem::path& target) override {
        return backend::createBeside(target);
    }

    void replace(const std::filesystem::path& from, const std::filesystem::path& to) override {
        backend::replace(from, to);
    }

    void remove(const std::filesystem::path& path) noexcept override { backend::remove(path); }

private:
    std::optional<std::filesystem::path> m_dataFolder;
    std::optional<std::filesystem::path> m_formerDriveC;
};

} // namespace

std::unique_ptr<FileSystem>
makeNativeFileSystem(std::optional<std::filesystem::path> dataFolder,
                     std::optional<std::filesystem::path> formerDriveC) {
    return std::make_unique<NativeFileSystem>(std::move(dataFolder), std::move(formerDriveC));
}

FileSystem& machineFileSystem() {
    static const std::unique_ptr<FileSystem> machine = makeNativeFileSystem();
    return *machine;
}

void replaceFileContents(FileSystem& fileSystem, const std::filesystem::path& target,
                         std::string_view bytes) {
    std::unique_ptr<OutputFile> file = fileSystem.createBeside(target);
    const std::filesystem::path temporary = file->path();
    try {
        file->write(bytes);
        file->flush();
        file->sync();
        file->close();
        fileSystem.replace(temporary, target);
    } catch (...) {
        // Closed first: Windows does not remove a file that is still open.
        file.reset();
        fileSystem.remove(temporary);
        throw;
    }
}

std::filesystem::path pathFromUtf8(std::string_view utf8) {
    return std::filesystem::path(
        std::u8string(reinterpret_cast<const char8_t*>(utf8.data()), utf8.size()));
}

std::string pathToUtf8(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(reinterpret_cast<const char*>(text.data()), text.size());
}

namespace backend {

std::filesystem::path placeOnDriveC(std::string_view programPath,
                                    const std::filesystem::path& driveC) {
    if (programPath.size() < 2 || programPath[1] != ':' ||
        (programPath[0] != 'c' && programPath[0] != 'C')) {
        throw FileSystemError("Device unavailable");
    }
    std::filesystem::path place = driveC;
    std::string_view rest = programPath.substr(2);
    while (!rest.empty()) {
        const std::size_t end = rest.find_first_of("\\/");
        const std::string_view part = rest.substr(0, end);
        if (!part.empty()) {
            place /= pathFromUtf8(part);
        }
        rest = end == std::string_view::npos ? std::string_view{} : rest.substr(end + 1);
    }
    return place;
}

std::string uniqueSuffix() {
    static std::mt19937_64 generator(
        std::random_device{}() ^
        static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()));
    char text[32];
    std::snprintf(text, sizeof text, ".%016llx.tmp", static_cast<unsigned long long>(generator()));
    return text;
}

// Bytes kept in the program before they go to the system in one write.
constexpr std::size_t kWriteBuffer = std::size_t{64} * 1024;

void BufferedOutputFile::write(std::string_view bytes) {
    m_pending.append(bytes);
    if (m_pending.size() >= kWriteBuffer) {
        flush();
    }
}

void BufferedOutputFile::flush() {
    std::size_t written = 0;
    try {
        while (written < m_pending.size()) {
            written += writeSome(std::string_view(m_pending).substr(written));
        }
    } catch (...) {
        m_pending.erase(0, written);
        throw;
    }
    m_pending.clear();
}

} // namespace backend
} // namespace pedalwise::runtime
