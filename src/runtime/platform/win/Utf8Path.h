#pragma once

#include <filesystem>
#include <string>

namespace pedalwise::runtime {

// The program's UTF-8 text as a path for the system's wide-character functions. The text is
// kept as it is: no separator is added, removed or doubled.
inline std::filesystem::path utf8Path(const std::string& text) {
    return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

inline std::string utf8Text(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return {text.begin(), text.end()};
}

} // namespace pedalwise::runtime
