#include "runtime/platform/CodePage.h"

namespace pedalwise::runtime {

// The locale's character set is UTF-8 here, the program's own encoding.
std::string fromSystemCodePage(std::string_view bytes) {
    return std::string(bytes);
}

std::optional<std::string> toSystemCodePage(std::string_view utf8) {
    return std::string(utf8);
}

} // namespace pedalwise::runtime
