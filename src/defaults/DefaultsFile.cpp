#include "defaults/DefaultsFile.h"

#include "runtime/platform/CodePage.h"
#include "runtime/platform/FileSystem.h"
#include "runtime/platform/RuntimeError.h"

#include <algorithm>
#include <array>
#include <memory>
#include <new>
#include <stdexcept>

namespace pedalwise::defaults {
namespace {

constexpr std::size_t kChunk = std::size_t{64} * 1024;

// Takes lines from a file chunk by chunk, so that nothing past the last line asked for is
// read. A line ends at CR LF or at a lone CR; a lone LF belongs to the line. Of a line longer
// than kLongestLine only the start is kept; the rest is passed over.
class LineReader {
public:
    explicit LineReader(runtime::InputFile& file)
        : m_file(file), m_buffer(std::make_unique_for_overwrite<char[]>(kChunk)) {}

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
            m_size = m_file.read(m_buffer.get(), kChunk);
            m_position = 0;
        }
        return m_position < m_size;
    }

    runtime::InputFile& m_file;
    std::unique_ptr<char[]> m_buffer;
    std::size_t m_position = 0;
    std::size_t m_size = 0;
    bool m_afterCr = false;
};

// The five fields in file order.
template <typename Values> auto fieldsOf(Values& values) {
    return std::array{&values.Wheel, &values.Drive1, &values.Driven1, &values.Drive2,
                      &values.Driven2};
}

std::optional<DefaultValues> readFrom(runtime::InputFile& file) {
    LineReader lines(file);
    DefaultValues values;
    for (std::string* field : fieldsOf(values)) {
        std::optional<std::string> line = lines.next();
        if (!line) {
            return std::nullopt;
        }
        *field = runtime::fromSystemCodePage(*line);
    }
    return values;
}

// The file where this machine keeps it or, while there is none there, where an earlier
// program kept it, so that defaults saved by that program still load until the first save;
// nullptr when there is neither, as at the first start.
std::unique_ptr<runtime::InputFile> openDefaults(runtime::FileSystem& files) {
    std::unique_ptr<runtime::InputFile> file = files.openIfPresent(files.nativePath(kDefaultsPath));
    if (!file) {
        if (const std::optional<std::filesystem::path> former = files.formerPath(kDefaultsPath)) {
            file = files.openIfPresent(*former);
        }
    }
    return file;
}

[[noreturn]] void saveFailed(const std::string& shownPath, const std::string& reason) {
    throw runtime::RuntimeError("The defaults could not be saved to " + shownPath + ": " + reason);
}

} // namespace

std::optional<DefaultValues> ReadDefaults() {
    try {
        const std::unique_ptr<runtime::InputFile> file =
            openDefaults(runtime::FileSystemSlot::get());
        if (!file) {
            return std::nullopt;
        }
        return readFrom(*file);
    } catch (const runtime::FileSystemError&) {
        return std::nullopt;
    } catch (const std::bad_alloc&) {
        // Memory running out reads like any other unusable file.
        return std::nullopt;
    } catch (const std::length_error&) {
        return std::nullopt;
    }
}

void WriteDefaults(const DefaultValues& values) {
    runtime::FileSystem& files = runtime::FileSystemSlot::get();
    std::string shownPath = kDefaultsPath;
    try {
        const std::filesystem::path target = files.nativePath(kDefaultsPath);
        shownPath = files.displayPath(target);

        std::string bytes;
        for (const std::string* field : fieldsOf(values)) {
            const std::optional<std::string> encoded = runtime::toSystemCodePage(*field);
            if (!encoded) {
                saveFailed(shownPath, "The text \"" + *field +
                                          "\" holds characters that the system's code page "
                                          "cannot store");
            }
            bytes += *encoded;
            bytes += "\r\n";
        }
        runtime::replaceFileContents(files, target, bytes);
    } catch (const runtime::FileSystemError& error) {
        saveFailed(shownPath, error.what());
    }
}

} // namespace pedalwise::defaults
