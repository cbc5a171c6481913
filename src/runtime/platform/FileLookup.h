#pragma once

#include "runtime/platform/ServiceSlot.h"

#include <string>

namespace pedalwise::runtime {

// Looks up one ordinary file by path (a folder, a hidden or a system file does not match);
// the file's name may hold the wildcards * and ?, and letters match in either case. Paths are the
// program's UTF-8 text. Answers the file's name without its folder, or empty text when nothing
// matches; a path that names no file at all throws RuntimeError.
class FileLookupService {
public:
    virtual ~FileLookupService() = default;
    virtual std::string find(const std::string& path);
};

FileLookupService& systemFileLookupService();

// The service in use: the system's unless a test installed another.
using FileLookupSlot = ServiceSlot<FileLookupService, systemFileLookupService>;

// The program's file lookup.
std::string Dir(const std::string& path);

} // namespace pedalwise::runtime
