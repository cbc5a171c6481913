#pragma once

#include "defaults/DefaultsFormat.h"

#include <optional>

namespace pedalwise::defaults {

// The defaults file, as the program names it; the runtime says where it lives on this machine.
inline constexpr const char* kDefaultsPath = "c:\\pedalwise.dat";

// The file's five default inputs (UTF-8; the file holds them in the system's code page), or
// nothing when the file is absent, cannot be read or holds fewer than five lines. Where the
// runtime names a former place of the file, that is read instead while the file itself is
// absent. Never throws, shows nothing and never creates anything.
std::optional<DefaultValues> ReadDefaults();

// Stores the five texts, each followed by CR LF, replacing the file in one step. Throws
// runtime::RuntimeError naming the file and the reason when that fails; the previous file is
// then left exactly as it was.
void WriteDefaults(const DefaultValues& values);

} // namespace pedalwise::defaults
