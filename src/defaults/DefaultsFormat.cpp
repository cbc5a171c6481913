#include "defaults/DefaultsFormat.h"

#include <algorithm>
#include <memory>

namespace pedalwise::defaults {
namespace {

constexpr std::size_t kChunk = std::size_t{64} * 1024;

// Takes lines from a file chunk by chunk, so that nothing past the last line asked for is
// read.
class LineReader {
public:
    explicit LineReader(const ByteSource& read)
        : m_read(read), m_buffer(std::make_unique_for_overwrite<char[]>(kChunk)) {}

    // The next line without its end, or nothing when the read begins at the end of the file.
    std::optional<std::string> next() {
        if (m_afterCr) {
            // The LF of a CR LF pair is only known once the next byte is there.
            m_afterCr = false;
            if (fill() && m_buffer[m_position] == '\n') {
                ++m_position;
            }
        }
        if (!fill()) {
            return std::nullopt;
        }
        std::string line;
        for (;;) {
            const char* begin = m_buffer.get() + m_position;
            const char* end = m_buffer.get() + m_size;
            const char* cr = std::find(begin, end, '\r');
            line.append(begin,
                        std::min(static_cast<std::size_t>(cr - begin), kLongestLine - line.size()));
            m_position = static_cast<std::size_t>(cr - m_buffer.get());
            if (cr != end) {
                ++m_position;
                m_afterCr = true;
                return line;
            }
            if (!fill()) {
                return line;
            }
        }
    }

private:
    bool fill() {
        if (m_position == m_size) {
            m_size = m_read(m_buffer.get(), kChunk);
            m_position = 0;
        }
        return m_position < m_size;
    }

    const ByteSource& m_read;
    std::unique_ptr<char[]> m_buffer;
    std::size_t m_position = 0;
    std::size_t m_size = 0;
    bool m_afterCr = false;
};

} // namespace

std::optional<DefaultValues> ParseDefaults(const ByteSource& read) {
    LineReader lines(read);
    DefaultValues values;
    for (std::string* field : fieldsOf(values)) {
        std::optional<std::string> line = lines.next();
        if (!line) {
            return std::nullopt;
        }
        *field = std::move(*line);
    }
    return values;
}

std::string FormatDefaults(const DefaultValues& values) {
    std::string bytes;
    for (const std::string* field : fieldsOf(values)) {
        bytes += *field;
        bytes += "\r\n";
    }
    return bytes;
}

} // namespace pedalwise::defaults
