#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>

namespace pedalwise::defaults {

// The defaults file's content, apart from where the file is: five lines of text. No Qt and no
// file here, so that the rules are fuzzed on their own.

// The most of a line that a read keeps, in bytes: more than the 32,767 characters a text box
// holds take in any code page (at most four bytes each), so the boxes show a long line as if it
// had been read whole, while an enormous one costs no memory. The rest of the line is passed
// over.
inline constexpr std::size_t kLongestLine = std::size_t{128} * 1024;

// The five default inputs, in the order the file keeps them: each the text of its box
// exactly as it stood, empty allowed.
struct DefaultValues {
    std::string Wheel;
    std::string Drive1;
    std::string Driven1;
    std::string Drive2;
    std::string Driven2;

    bool operator==(const DefaultValues&) const = default;
};

// The five fields in file order.
template <typename Values> auto fieldsOf(Values& values) {
    return std::array{&values.Wheel, &values.Drive1, &values.Driven1, &values.Drive2,
                      &values.Driven2};
}

// Fills `buffer` with up to `size` bytes of the file and answers how many: 0 only at its end.
using ByteSource = std::function<std::size_t(char* buffer, std::size_t size)>;

// The first five lines, of each no more than its first kLongestLine bytes, or nothing when
// there are fewer. A line ends at CR LF or at a lone CR; a lone LF belongs to the line. Nothing
// past the fifth line is asked for.
std::optional<DefaultValues> ParseDefaults(const ByteSource& read);

// The five texts, each followed by CR LF.
std::string FormatDefaults(const DefaultValues& values);

} // namespace pedalwise::defaults
