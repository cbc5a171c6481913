// The defaults file from any bytes: reading gives five texts or nothing, never a crash; and
// five texts written and read back are the same five texts whenever they hold no CR or LF.
// The file lives in memory so that each run is fast and touches no disk.
#include "defaults/DefaultsFile.h"
#include "runtime/platform/FileSystem.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <string>

using namespace pedalwise;

namespace {

class MemoryFileSystem final : public runtime::FileSystem {
public:
    std::map<std::filesystem::path, std::string> files;

    std::filesystem::path nativePath(std::string_view) const override { return "/c/pedalwise.dat"; }
    std::string displayPath(const std::filesystem::path& path) const override {
        return path.string();
    }
    std::unique_ptr<runtime::InputFile> openForInput(const std::filesystem::path& path) override {
        const auto found = files.find(path);
        if (found == files.end()) {
            throw runtime::FileSystemError("No such file or directory");
        }
        return std::make_unique<Reader>(found->second);
    }
    std::unique_ptr<runtime::OutputFile> createBeside(const std::filesystem::path&) override {
        return std::make_unique<Writer>(*this);
    }
    void replace(const std::filesystem::path& from, const std::filesystem::path& to) override {
        files[to] = files[from];
        files.erase(from);
    }
    void remove(const std::filesystem::path& path) noexcept override { files.erase(path); }

private:
    // Hands out the content in small, odd-sized pieces so that line ends split across reads.
    class Reader final : public runtime::InputFile {
    public:
        explicit Reader(const std::string& content) : m_content(content) {}
        std::size_t read(char* buffer, std::size_t size) override {
            const std::size_t n = std::min({size, m_content.size() - m_offset, std::size_t{7}});
            std::copy_n(m_content.data() + m_offset, n, buffer);
            m_offset += n;
            return n;
        }

    private:
        const std::string& m_content;
        std::size_t m_offset = 0;
    };

    class Writer final : public runtime::OutputFile {
    public:
        explicit Writer(MemoryFileSystem& fs) : m_fs(fs), m_path("/c/pedalwise.tmp") {
            m_fs.files[m_path].clear();
        }
        const std::filesystem::path& path() const override { return m_path; }
        void write(std::string_view bytes) override { m_fs.files[m_path].append(bytes); }
        void flush() override {}
        void sync() override {}
        void close() override {}

    private:
        MemoryFileSystem& m_fs;
        std::filesystem::path m_path;
    };
};

bool holdsLineEnd(const defaults::DefaultValues& v) {
    for (const std::string* text : {&v.Wheel, &v.Drive1, &v.Driven1, &v.Drive2, &v.Driven2}) {
        if (text->find_first_of("\r\n") != std::string::npos) {
            return true;
        }
    }
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    MemoryFileSystem fs;
    runtime::FileSystem* previous = runtime::FileSystemSlot::install(&fs);

    fs.files["/c/pedalwise.dat"] = std::string(reinterpret_cast<const char*>(data), size);
    const std::optional<defaults::DefaultValues> read = defaults::ReadDefaults();

    if (read && !holdsLineEnd(*read)) {
        defaults::WriteDefaults(*read);
        const std::optional<defaults::DefaultValues> again = defaults::ReadDefaults();
        if (!again || !(*again == *read)) {
            std::abort();
        }
    }
    runtime::FileSystemSlot::install(previous);
    return 0;
}
