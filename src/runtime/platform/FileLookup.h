#pragma once

#include "runtime/platform/ServiceSlot.h"

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

// The file system's lookup; each platform's backend defines it.
FileLookupService& systemFileLookupService();

// The service in use: the system's unless a test installed another.
using FileLookupSlot = ServiceSlot<FileLookupService, systemFileLookupService>;

// The program's file lookup.
std::string Dir(const std::string& path);

} // namespace pedalwise::runtime
