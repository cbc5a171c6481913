#pragma once

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <system_error>

namespace pedalwise::test {

// A fresh folder under the system's temporary folder, removed with everything in it when the
// object goes, so that no test touches the user's files.
class ScratchFolder {
public:
    ScratchFolder() {
        std::random_device random;
        const auto base = std::filesystem::temp_directory_path();
        do {
            m_path = base / ("pedalwise-test-" + std::to_string(random()));
        } while (!std::filesystem::create_directory(m_path));
    }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::filesystem::path& path() const { return m_path; }

    // Writes a file below the folder, making its folders, and answers its path.
    std::filesystem::path write(const std::filesystem::path& relative,
                                const std::string& content) const {
        const auto file = m_path / relative;
        std::filesystem::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary) << content;
        return file;
    }

private:
    std::filesystem::path m_path;
};

} // namespace pedalwise::test
