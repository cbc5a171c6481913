#pragma once

#include "runtime/platform/ServiceSlot.h"

#include <cstddef>
#include <filesystem>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace pedalwise::runtime {

// One failed step on the file system. what() is the reason as the system words it, for
// example "Permission denied", so that callers can put it into a message for the user.
class FileSystemError : public std::runtime_error {
public:
    explicit FileSystemError(const std::string& reason) : std::runtime_error(reason) {}
};

// Nothing is there to open: neither the file nor, perhaps, its folder exists.
class FileNotFound : public FileSystemError {
public:
    explicit FileNotFound(const std::string& reason) : FileSystemError(reason) {}
};

// A file open for reading; destroying it closes it.
class InputFile {
public:
    virtual ~InputFile() = default;
    // Reads up to `size` bytes into `buffer` and returns how many were read: 0 only at the end
    // of the file. Throws FileSystemError.
    virtual std::size_t read(char* buffer, std::size_t size) = 0;
};

// A new file being written; destroying it without close() closes it and ignores errors.
// Every step throws FileSystemError when it fails.
class OutputFile {
public:
    virtual ~OutputFile() = default;
    virtual const std::filesystem::path& path() const = 0;
    virtual void write(std::string_view bytes) = 0;
    // Hands everything written so far to the operating system.
    virtual void flush() = 0;
    // Returns once the operating system has put the file's content on the disk.
    virtual void sync() = 0;
    virtual void close() = 0;
};

// The program's view of the file system. The program names files by Windows paths such as
// "c:\pedalwise.dat"; nativePath says where such a file lives on this machine, and formerPath
// where an earlier program may have left it. Tests install their own instance (temporary
// folders in place of the user's, or a wrapper that fails on purpose).
class FileSystem {
public:
    virtual ~FileSystem() = default;

    // Where a program path lives here: written there, and read from there first. Throws
    // FileSystemError for a drive that does not exist or a folder the system cannot name.
    virtual std::filesystem::path nativePath(std::string_view programPath) const = 0;
    // Where an earlier program kept a program path that now lives at nativePath, or nothing
    // when it never moved. Only ever read, and only while nothing is at nativePath.
    virtual std::optional<std::filesystem::path> formerPath(std::string_view programPath) const {
        static_cast<void>(programPath);
        return std::nullopt;
    }
    // A native path as the user knows it, for messages (UTF-8).
    virtual std::string displayPath(const std::filesystem::path& path) const = 0;

    // Opens an existing file for reading; throws FileNotFound when it is absent. Never creates
    // anything.
    virtual std::unique_ptr<InputFile> openForInput(const std::filesystem::path& path) = 0;
    // The same, but an absent file gives nullptr rather than an exception: for a file that is
    // often absent, such as the defaults at the first start, since the first exception a
    // program throws costs it memory for unwinding (docs/performance.md).
    virtual std::unique_ptr<InputFile> openIfPresent(const std::filesystem::path& path) {
        try {
            return openForInput(path);
        } catch (const FileNotFound&) {
            return nullptr;
        }
    }
    // Creates a new, empty file with a name of its own in the folder of `target`, first
    // creating that folder (mode 0700 where modes exist) when it is absent.
    virtual std::unique_ptr<OutputFile> createBeside(const std::filesystem::path& target) = 0;
    // Renames `from` to `to`, replacing `to` if it exists, in one step that survives a crash.
    virtual void replace(const std::filesystem::path& from, const std::filesystem::path& to) = 0;
    // Removes a file; a failure is ignored, since this only ever cleans up after one.
    virtual void remove(const std::filesystem::path& path) noexcept = 0;
};

// The machine's own file system. The program's files on drive C live in `dataFolder` when
// given; otherwise in the Pedalwise folder of the user's roaming application data on Windows
// (%APPDATA%\Pedalwise), since a standard user may not create files in the root of drive C,
// and elsewhere in $XDG_DATA_HOME/pedalwise (by default ~/.local/share/pedalwise). Their former
// place is `formerDriveC` when given; otherwise, on Windows without `dataFolder`, the real
// drive C, where earlier versions kept them; none elsewhere.
std::unique_ptr<FileSystem>
makeNativeFileSystem(std::optional<std::filesystem::path> dataFolder = {},
                     std::optional<std::filesystem::path> formerDriveC = {});

// The machine's own file system, made once with makeNativeFileSystem's defaults.
FileSystem& machineFileSystem();

// The file system in use: the machine's own until another is installed.
using FileSystemSlot = ServiceSlot<FileSystem, machineFileSystem>;

// Replaces the content of `target` with `bytes`: a new file is written beside it, flushed,
// synced and renamed over it. When any step fails the new file is removed, `target` is left
// exactly as it was, and the step's FileSystemError is passed on.
void replaceFileContents(FileSystem& fileSystem, const std::filesystem::path& target,
                         std::string_view bytes);

// Converts between UTF-8 and std::filesystem::path, whose native form differs by system.
std::filesystem::path pathFromUtf8(std::string_view utf8);
std::string pathToUtf8(const std::filesystem::path& path);

} // namespace pedalwise::runtime
