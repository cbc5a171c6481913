// The defaults file's content from any bytes, in pieces of any size: reading gives five texts
// or nothing, never a crash; and five texts written and read back are the same five texts
// whenever they hold no CR or LF.
#include "defaults/DefaultsFormat.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

using namespace pedalwise::defaults;

namespace {

// Hands out the bytes in pieces of at most `piece` bytes, so that line ends split across reads.
std::optional<DefaultValues> parse(std::string_view bytes, std::size_t piece) {
    return ParseDefaults([&](char* buffer, std::size_t size) {
        const std::size_t count = std::min({size, bytes.size(), piece});
        std::copy_n(bytes.data(), count, buffer);
        bytes.remove_prefix(count);
        return count;
    });
}

bool holdsLineEnd(DefaultValues& values) {
    return std::ranges::any_of(fieldsOf(values), [](const std::string* text) {
        return text->find_first_of("\r\n") != std::string::npos;
    });
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    // The first byte picks the size of the pieces.
    const std::size_t piece = data[0] % 16 + 1;
    const std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);
    std::optional<DefaultValues> read = parse(bytes, piece);
    if (read && !holdsLineEnd(*read)) {
        const std::optional<DefaultValues> again = parse(FormatDefaults(*read), piece);
        if (!again || !(*again == *read)) {
            std::abort();
        }
    }
    return 0;
}
