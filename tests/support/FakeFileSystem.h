#pragma once

#include "runtime/platform/FileSystem.h"
#include "support/ScratchFolder.h"

#include <QSaveFile>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

namespace pedalwise::test {

// A path as the runtime takes it.
inline QString qPath(const std::filesystem::path& path) {
    return QString::fromStdU16String(path.generic_u16string());
}

// The program's files in scratch folders, in use for the life of the object: dataFolder() in
// place of the user's, formerDriveC() in place of the drive C of earlier versions. With
// machineFolders, the machine's own folders instead, as the environment names them. Any
// step of a save fails on request, as the system would: a failed write has written part.
class FakeFileSystem final : public runtime::FileSystem {
public:
    enum class Step { Open, Write, Commit };
    enum Folders { scratchFolders, machineFolders };

    explicit FakeFileSystem(Folders folders = scratchFolders)
        : m_scratch(folders == scratchFolders), m_previous(runtime::FileSystemSlot::install(this)) {
    }
    ~FakeFileSystem() override { runtime::FileSystemSlot::install(m_previous); }
    FakeFileSystem(const FakeFileSystem&) = delete;
    FakeFileSystem& operator=(const FakeFileSystem&) = delete;

    void failAt(std::optional<Step> step, std::string reason = "Input/output error") {
        m_failing = step;
        m_reason = std::move(reason);
    }

    // Where a file of the data folder, or of the former drive C, is on disk.
    std::filesystem::path file(const std::string& name) const { return m_data.path() / name; }
    std::filesystem::path formerFile(const std::string& name) const {
        return m_former.path() / name;
    }
    const std::filesystem::path& folder() const { return m_data.path(); }

    // How often the program asked where its files are: once for each read or save.
    int lookups() const { return m_lookups; }

    QString dataFolder() const override {
        ++m_lookups;
        return m_scratch ? m_dataFolder : FileSystem::dataFolder();
    }
    std::optional<QString> formerDriveC() const override {
        return m_scratch ? std::optional(m_formerDriveC) : FileSystem::formerDriveC();
    }
    void open(QSaveFile& file) override {
        failIf(Step::Open);
        FileSystem::open(file);
    }
    void write(QSaveFile& file, const QByteArray& bytes) override {
        if (m_failing == Step::Write) {
            FileSystem::write(file, bytes.left(bytes.size() / 2));
            file.flush();
        }
        failIf(Step::Write);
        FileSystem::write(file, bytes);
    }
    void commit(QSaveFile& file) override {
        failIf(Step::Commit);
        FileSystem::commit(file);
    }

private:
    void failIf(Step step) const {
        if (m_failing == step) {
            throw runtime::FileSystemError(m_reason);
        }
    }

    bool m_scratch;
    mutable int m_lookups = 0;
    ScratchFolder m_data;
    ScratchFolder m_former;
    QString m_dataFolder = qPath(m_data.path());
    QString m_formerDriveC = qPath(m_former.path());
    std::optional<Step> m_failing;
    std::string m_reason;
    runtime::FileSystem* m_previous;
};

inline std::optional<std::string> readBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void writeBytes(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// The names in a folder, sorted; none when it does not exist.
inline std::vector<std::string> namesIn(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ignored)) {
        names.push_back(entry.path().filename().string());
    }
    std::ranges::sort(names);
    return names;
}

#ifndef _WIN32

// Sets an environment variable for one test (nullptr unsets it).
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const char* value) : m_name(name) {
        if (const char* old = std::getenv(name)) {
            m_old = old;
        }
        set(value);
    }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;
    ~ScopedEnvironment() { set(m_old ? m_old->c_str() : nullptr); }

private:
    void set(const char* value) {
        if (value != nullptr) {
            setenv(m_name, value, 1);
        } else {
            unsetenv(m_name);
        }
    }

    const char* m_name;
    std::optional<std::string> m_old;
};

#endif

} // namespace pedalwise::test
