#pragma once

// Pieces shared by the machine's file-system backends (posix/ and win/); not for other code.

#include "runtime/platform/FileSystem.h"

namespace pedalwise::runtime::backend {

// The place of a program path when drive C is the folder `driveC`: "c:\a\b.dat" is
// driveC/a/b.dat. Throws FileSystemError for any other drive, as no other drive exists then.
std::filesystem::path placeOnDriveC(std::string_view programPath,
                                    const std::filesystem::path& driveC);

// ".<16 hex digits>.tmp", for the name of a new file beside another one.
std::string uniqueSuffix();

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

} // namespace pedalwise::runtime::backend
