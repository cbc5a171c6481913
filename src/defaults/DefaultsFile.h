#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace pedalwise::defaults {

// The defaults file, as the program names it; the runtime says where it lives on this machine.
inline constexpr const char* kDefaultsPath = "c:\\pedalwise.dat";

// The most of a line that a read keeps, in bytes: more than the 32,767 characters a text box
// holds take in any code page (at most four bytes each), so the boxes show a long line as if it
// had been read whole, while an enormous one costs no memory. The rest of the line is passed
// over.
inline constexpr std::size_t kLongestLine = std::size_t{128} * 1024;

// The five default inputs, in the order the file keeps them: each the text of its box
// exactly as it stood (UTF-8), empty allowed.
struct DefaultValues {
    std::string Wheel;
    std::string Drive1;
    std::string Driven1;
    std::string Drive2;
    std::string Driven2;

    bool operator==(const DefaultValues&) const = default;
};

// The file's first five lines, of each no more than its first kLongestLine bytes, or nothing when
// the file is absent, cannot be read or holds fewer than five lines. Where the runtime names a
// former place of the file, that is read instead while the file itself is absent. Never throws,
// shows nothing and never creates anything.
std::optional<DefaultValues> ReadDefaults();

// Stores the five texts, each followed by CR LF, replacing the file in one step. Throws
// runtime::RuntimeError naming the file and the reason when that fails; the previous file is
// then left exactly as it was.
void WriteDefaults(const DefaultValues& values);

} // namespace pedalwise::defaults
