#pragma once

#include <string>

namespace pedalwise::runtime {

// Looks up one ordinary file by path (a directory, hidden or system file does not match).
// Paths are the program's UTF-8 text. Answers the file's name without its folder, or empty
// text when nothing matches; a path that cannot be looked up at all throws RuntimeError.
class FileLookupService {
public:
    virtual ~FileLookupService() = default;
    virtual std::string find(const std::string& path) = 0;
};

// The service in use: the file system's unless a test installed another.
FileLookupService& fileLookupService();

// Installs a service (nullptr restores the system's) and returns the previous one. The caller
// keeps ownership.
FileLookupService* setFileLookupService(FileLookupService* service);

// The file system's lookup; each platform's backend defines it.
FileLookupService& systemFileLookupService();

// The program's file lookup.
std::string Dir(const std::string& path);

} // namespace pedalwise::runtime
