#pragma once

// Pieces shared by the machine's file-system backends (posix/ and win/); not for other code.

#include "runtime/platform/FileSystem.h"

#include <utility>

namespace pedalwise::runtime::backend {

// The place of a program path when drive C is the folder `driveC`: "c:\a\b.dat" is
// driveC/a/b.dat. Throws FileSystemError for any other drive, as no other drive exists then.
std::filesystem::path placeOnDriveC(std::string_view programPath,
                                    const std::filesystem::path& driveC);

// ".<16 hex digits>.tmp", for the name of a new file beside another one.
std::string uniqueSuffix();

// The system's side of the machine's file system, which posix/ and win/ each define. The
// machine's file system passes each FileSystem member of the same name on to them, and goes
// to systemDataFolder and systemFormerPath when makeNativeFileSystem was given no folder.
std::string displayPath(const std::filesystem::path& path);
std::unique_ptr<InputFile> openIfPresent(const std::filesystem::path& path);
std::unique_ptr<OutputFile> createBeside(const std::filesystem::path& target);
void replace(const std::filesystem::path& from, const std::filesystem::path& to);
void remove(const std::filesystem::path& path) noexcept;
// The folder of the program's files, looked up at each use: nothing is kept between events.
std::filesystem::path systemDataFolder();
// Where an earlier program kept a program path of its own accord, if anywhere.
std::optional<std::filesystem::path> systemFormerPath(std::string_view programPath);
// The system's words for a file that is not there.
std::string notFoundReason();

// An output file that gathers small writes and hands them to the system in large ones; a
// backend supplies the system's write.
class BufferedOutputFile : public OutputFile {
public:
    explicit BufferedOutputFile(std::filesystem::path path) : m_path(std::move(path)) {}

    const std::filesystem::path& path() const override { return m_path; }
    void write(std::string_view bytes) override;
    void flush() override;

protected:
    // Writes a first part of `bytes` (at least one byte) and returns its size. Throws
    // FileSystemError.
    virtual std::size_t writeSome(std::string_view bytes) = 0;

private:
    std::filesystem::path m_path;
    std::string m_pending;
};

// The files of a backend, on the system's calls that `System` gives as static functions:
//   Handle, the type of an open file's handle, and none(), the value of none;
//   read(handle, buffer, size) and write(handle, bytes), which answer the bytes moved, read
//   0 only at the end of the file and write at least one;
//   sync(handle) and close(handle), which throw FileSystemError as the others do;
//   closeQuietly(handle), which ignores every error.
template <class System> class SystemInputFile final : public InputFile {
public:
    using Handle = typename System::Handle;

    explicit SystemInputFile(Handle handle) : m_handle(handle) {}
    SystemInputFile(const SystemInputFile&) = delete;
    SystemInputFile& operator=(const SystemInputFile&) = delete;
    ~SystemInputFile() override { System::closeQuietly(m_handle); }

    std::size_t read(char* buffer, std::size_t size) override {
        return System::read(m_handle, buffer, size);
    }

private:
    Handle m_handle;
};

template <class System> class SystemOutputFile final : public BufferedOutputFile {
public:
    using Handle = typename System::Handle;

    SystemOutputFile(Handle handle, std::filesystem::path path)
        : BufferedOutputFile(std::move(path)), m_handle(handle) {}
    SystemOutputFile(const SystemOutputFile&) = delete;
    SystemOutputFile& operator=(const SystemOutputFile&) = delete;
    ~SystemOutputFile() override {
        if (m_handle != System::none()) {
            System::closeQuietly(m_handle);
        }
    }

    void sync() override { System::sync(m_handle); }

    // A handle is closed once, whatever the system answers.
    void close() override { System::close(std::exchange(m_handle, System::none())); }

protected:
    std::size_t writeSome(std::string_view bytes) override {
        return System::write(m_handle, bytes);
    }

private:
    Handle m_handle;
};

} // namespace pedalwise::runtime::backend
