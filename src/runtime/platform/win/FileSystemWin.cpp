#include "runtime/platform/FileSystem.h"

#include "runtime/platform/FileSystemBackend.h"

#include "runtime/platform/win/WindowsApi.h"
#include <knownfolders.h>
#include <shlobj.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cwctype>
#include <memory>
#include <random>
#include <utility>

namespace pedalwise::runtime {
namespace {

using backend::placeOnDriveC;
using backend::uniqueSuffix;

std::string reasonFor(DWORD error) {
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring wide = length > 0 ? std::wstring(text, length) : std::wstring();
    LocalFree(text);
    // The system's texts end in a full stop and a line end, which a message goes on after.
    while (!wide.empty() && (std::iswspace(wide.back()) || wide.back() == L'.')) {
        wide.pop_back();
    }
    if (wide.empty()) {
        return "Error " + std::to_string(error);
    }
    return pathToUtf8(std::filesystem::path(wide));
}

[[noreturn]] void fail(DWORD error) {
    throw FileSystemError(reasonFor(error));
}

// The user's roaming application data folder, %APPDATA%, as the shell knows it.
std::filesystem::path roamingAppData() {
    wchar_t* folder = nullptr;
    const HRESULT result =
        SHGetKnownFolderPath(FOLDERID_RoamingAppData, KF_FLAG_DEFAULT, nullptr, &folder);
    // The shell's copy of the path is ours to free, whether or not the call succeeded.
    const std::unique_ptr<wchar_t, decltype(&CoTaskMemFree)> owned(folder, &CoTaskMemFree);
    if (FAILED(result)) {
        fail(static_cast<DWORD>(result));
    }
    return std::filesystem::path(folder);
}

class WinInputFile final : public InputFile {
public:
    explicit WinInputFile(HANDLE handle) : m_handle(handle) {}
    WinInputFile(const WinInputFile&) = delete;
    WinInputFile& operator=(const WinInputFile&) = delete;
    ~WinInputFile() override { CloseHandle(m_handle); }

    std::size_t read(char* buffer, std::size_t size) override {
        DWORD count = 0;
        const DWORD wanted = static_cast<DWORD>(std::min<std::size_t>(size, 1u << 30));
        if (!ReadFile(m_handle, buffer, wanted, &count, nullptr)) {
            fail(GetLastError());
        }
        return count;
    }

private:
    HANDLE m_handle;
};

class WinOutputFile final : public backend::BufferedOutputFile {
public:
    WinOutputFile(HANDLE handle, std::filesystem::path path)
        : BufferedOutputFile(std::move(path)), m_handle(handle) {}
    WinOutputFile(const WinOutputFile&) = delete;
    WinOutputFile& operator=(const WinOutputFile&) = delete;
    ~WinOutputFile() override {
        if (m_handle != INVALID_HANDLE_VALUE) {
            CloseHandle(m_handle);
        }
    }

    void sync() override {
        if (!FlushFileBuffers(m_handle)) {
            fail(GetLastError());
        }
    }

    void close() override {
        if (!CloseHandle(std::exchange(m_handle, INVALID_HANDLE_VALUE))) {
            fail(GetLastError());
        }
    }

protected:
    std::size_t writeSome(std::string_view bytes) override {
        DWORD count = 0;
        const DWORD wanted = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
        if (!WriteFile(m_handle, bytes.data(), wanted, &count, nullptr)) {
            fail(GetLastError());
        }
        return count;
    }

private:
    HANDLE m_handle;
};

class WinFileSystem final : public FileSystem {
public:
    WinFileSystem(std::optional<std::filesystem::path> dataFolder,
                  std::optional<std::filesystem::path> formerDriveC)
        : m_dataFolder(std::move(dataFolder)), m_formerDriveC(std::move(formerDriveC)) {}

    std::filesystem::path nativePath(std::string_view programPath) const override {
        // Looked up at each use, as $XDG_DATA_HOME is elsewhere: nothing is kept between events.
        return placeOnDriveC(programPath,
                             m_dataFolder ? *m_dataFolder : roamingAppData() / L"Pedalwise");
    }

    std::optional<std::filesystem::path> formerPath(std::string_view programPath) const override {
        if (m_formerDriveC) {
            return placeOnDriveC(programPath, *m_formerDriveC);
        }
        if (!m_dataFolder) {
            return pathFromUtf8(programPath);
        }
        return std::nullopt;
    }

    std::string displayPath(const std::filesystem::path& path) const override {
        return pathToUtf8(path);
    }

    std::unique_ptr<InputFile> openForInput(const std::filesystem::path& path) override {
        std::unique_ptr<InputFile> file = openIfPresent(path);
        if (!file) {
            throw FileNotFound(reasonFor(ERROR_FILE_NOT_FOUND));
        }
        return file;
    }

    std::unique_ptr<InputFile> openIfPresent(const std::filesystem::path& path) override {
        const HANDLE handle = CreateFileW(
            path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
        if (handle == INVALID_HANDLE_VALUE) {
            const DWORD error = GetLastError();
            if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) {
                return nullptr;
            }
            fail(error);
        }
        return std::make_unique<WinInputFile>(handle);
    }

    std::unique_ptr<OutputFile> createBeside(const std::filesystem::path& target) override {
        if (target.has_parent_path()) {
            std::error_code error;
            std::filesystem::create_directories(target.parent_path(), error);
            if (error) {
                throw FileSystemError(error.message());
            }
        }
        for (int attempt = 0;; ++attempt) {
            std::filesystem::path temporary = target;
            temporary += uniqueSuffix();
            const HANDLE handle = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr,
                                              CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
            if (handle != INVALID_HANDLE_VALUE) {
                return std::make_unique<WinOutputFile>(handle, std::move(temporary));
            }
            const DWORD error = GetLastError();
            if ((error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) || attempt == 100) {
                fail(error);
            }
        }
    }

    void replace(const std::filesystem::path& from, const std::filesystem::path& to) override {
        if (!MoveFileExW(from.c_str(), to.c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            fail(GetLastError());
        }
    }

    void remove(const std::filesystem::path& path) noexcept override { DeleteFileW(path.c_str()); }

private:
    std::optional<std::filesystem::path> m_dataFolder;
    std::optional<std::filesystem::path> m_formerDriveC;
};

} // namespace

std::unique_ptr<FileSystem>
makeNativeFileSystem(std::optional<std::filesystem::path> dataFolder,
                     std::optional<std::filesystem::path> formerDriveC) {
    return std::make_unique<WinFileSystem>(std::move(dataFolder), std::move(formerDriveC));
}

} // namespace pedalwise::runtime
