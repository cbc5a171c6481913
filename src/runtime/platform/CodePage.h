#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace pedalwise::runtime {

// The program keeps its texts in UTF-8; its text files hold them in the system's ANSI code
// page: the active code page on Windows, the locale's character set (UTF-8) elsewhere.

// Converts text in the system code page to UTF-8.
std::string fromSystemCodePage(std::string_view bytes);

// Converts UTF-8 to the system code page; nothing when the text holds a character that the
// code page has no byte for, so that no text is ever stored changed.
std::optional<std::string> toSystemCodePage(std::string_view utf8);

} // namespace pedalwise::runtime
