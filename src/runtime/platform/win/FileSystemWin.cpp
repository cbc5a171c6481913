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

// Runs a ReadFile or WriteFile of `size` bytes at the most and returns the bytes moved. One
// call moves no more than a DWORD counts; a gigabyte keeps well inside that.
template <typename Call> std::size_t transfer(std::size_t size, Call call) {
    DWORD count = 0;
    if (!call(static_cast<DWORD>(std::min<std::size_t>(size, 1u << 30)), &count)) {
        fail(GetLastError());
    }
    return count;
}

// The system's calls on a file handle.
struct HandleCalls {
    using Handle = HANDLE;

    static HANDLE none() { return INVALID_HANDLE_VALUE; }

    static std::size_t read(HANDLE handle, char* buffer, std::size_t size) {
        return transfer(size, [&](DWORD wanted, DWORD* count) {
            return ReadFile(handle, buffer, wanted, count, nullptr);
        });
    }

    static std::size_t write(HANDLE handle, std::string_view bytes) {
        return transfer(bytes.size(), [&](DWORD wanted, DWORD* count) {
            return WriteFile(handle, bytes.data(), wanted, count, nullptr);
        });
    }

    static void sync(HANDLE handle) {
        if (!FlushFileBuffers(handle)) {
            fail(GetLastError());
        }
    }

    static void close(HANDLE handle) {
        if (!CloseHandle(handle)) {
            fail(GetLastError());
        }
    }

    static void closeQuietly(HANDLE handle) noexcept { CloseHandle(handle); }
};

using WinInputFile = backend::SystemInputFile<HandleCalls>;
using WinOutputFile = backend::SystemOutputFile<HandleCalls>;

} // namespace

namespace backend {

std::string displayPath(const std::filesystem::path& path) {
    return pathToUtf8(path);
}

std::unique_ptr<InputFile> openIfPresent(const std::filesystem::path& path) {
    const HANDLE handle = CreateFileW(
        path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) {
            return nullptr;
        }
        fail(error);
    }
    return std::make_unique<WinInputFile>(handle);
}

std::unique_ptr<OutputFile> createBeside(const std::filesystem::path& target) {
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
        const HANDLE handle = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                          FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle != INVALID_HANDLE_VALUE) {
            return std::make_unique<WinOutputFile>(handle, std::move(temporary));
        }
        const DWORD error = GetLastError();
        if ((error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) || attempt == 100) {
            fail(error);
        }
    }
}

void replace(const std::filesystem::path& from, const std::filesystem::path& to) {
    if (!MoveFileExW(from.c_str(), to.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        fail(GetLastError());
    }
}

void remove(const std::filesystem::path& path) noexcept {
    DeleteFileW(path.c_str());
}

std::filesystem::path systemDataFolder() {
    return roamingAppData() / L"Pedalwise";
}

// Earlier versions kept the program's files on the real drive C.
std::optional<std::filesystem::path> systemFormerPath(std::string_view programPath) {
    return pathFromUtf8(programPath);
}

std::string notFoundReason() {
    return reasonFor(ERROR_FILE_NOT_FOUND);
}

} // namespace backend

} // namespace pedalwise::runtime
