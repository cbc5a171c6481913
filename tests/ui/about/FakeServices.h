#pragma once

// Stand-ins for the runtime services the launcher uses, each recording what it was asked; the
// registry only on Windows, which alone has one.

#include "runtime/platform/FileLookup.h"
#include "runtime/platform/MessageBox.h"
#include "runtime/platform/ProgramStart.h"
#include "runtime/platform/Registry.h"
#include "runtime/platform/RuntimeError.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace pedalwise::test {

// Installs a service for the life of the object and puts the previous one back.
template <class Service, Service* (*Install)(Service*)> class ScopedService {
public:
    explicit ScopedService(Service& service) : m_previous(Install(&service)) {}
    ~ScopedService() { Install(m_previous); }
    ScopedService(const ScopedService&) = delete;
    ScopedService& operator=(const ScopedService&) = delete;

private:
    Service* m_previous;
};

struct Message {
    std::string prompt;
    std::string title;
    bool operator==(const Message&) const = default;
};

class RecordingMessageBox final : public runtime::MessageBoxService {
public:
    void show(const std::string& prompt, const std::string& title) override {
        shown.push_back({prompt, title});
    }
    std::vector<Message> shown;
};

#ifdef _WIN32

// The system's error numbers for a refused access and a handle that is not open.
inline constexpr std::int32_t kErrorAccessDenied = 5;
inline constexpr std::int32_t kErrorInvalidHandle = 6;

struct RegistryValue {
    // A constructor rather than aggregate initialisation: GCC 12 warns wrongly of an
    // uninitialised string in nested aggregates of test tables.
    RegistryValue() = default;
    RegistryValue(std::uint32_t valueType, std::string valueBytes)
        : type(valueType), bytes(std::move(valueBytes)) {}
    std::uint32_t type = runtime::kRegSz;
    std::string bytes;
};

inline RegistryValue stringValue(std::string text) {
    return {runtime::kRegSz, text + '\0'};
}

// Keys below HKEY_LOCAL_MACHINE only. Every open gets a fresh handle, so the log shows which
// handle was closed.
class FakeRegistry final : public runtime::RegistryService {
public:
    void set(const std::string& key, const std::string& name, RegistryValue value) {
        m_keys[key][name] = std::move(value);
    }
    void refuse(const std::string& key) { m_refused.insert(key); }

    std::int32_t open(runtime::RegistryKey root, const std::string& keyPath, std::uint32_t options,
                      std::uint32_t samDesired, runtime::RegistryKey& handle) override {
        opened.push_back(keyPath);
        openOptions.push_back(options);
        openMasks.push_back(samDesired);
        if (m_refused.contains(keyPath)) {
            return kErrorAccessDenied;
        }
        if (root != runtime::kLocalMachine || !m_keys.contains(keyPath)) {
            return runtime::kErrorFileNotFound;
        }
        handle = ++m_lastHandle;
        m_open[handle] = keyPath;
        return runtime::kErrorSuccess;
    }

    std::int32_t queryValue(runtime::RegistryKey key, const std::string& valueName,
                            std::uint32_t /*reserved*/, std::uint32_t& type, std::uint8_t* data,
                            std::uint32_t& length) override {
        const auto open = m_open.find(key);
        if (open == m_open.end()) {
            return kErrorInvalidHandle;
        }
        const auto& values = m_keys.at(open->second);
        const auto value = values.find(valueName);
        if (value == values.end()) {
            return runtime::kErrorFileNotFound;
        }
        const auto size = static_cast<std::uint32_t>(value->second.bytes.size());
        type = value->second.type;
        if (size > length) {
            length = size;
            return runtime::kErrorMoreData;
        }
        std::memcpy(data, value->second.bytes.data(), size);
        length = size;
        return runtime::kErrorSuccess;
    }

    std::int32_t close(runtime::RegistryKey key) override {
        closed.push_back(key);
        return m_open.erase(key) == 1 ? runtime::kErrorSuccess : kErrorInvalidHandle;
    }

    bool allClosed() const { return m_open.empty(); }

    std::vector<std::string> opened;
    std::vector<std::uint32_t> openOptions;
    std::vector<std::uint32_t> openMasks;
    std::vector<runtime::RegistryKey> closed;

private:
    std::map<std::string, std::map<std::string, RegistryValue>> m_keys;
    std::set<std::string> m_refused;
    std::map<runtime::RegistryKey, std::string> m_open;
    runtime::RegistryKey m_lastHandle = 0x100;
};

#endif

// Finds exactly the files it was given.
class FakeFileLookup final : public runtime::FileLookupService {
public:
    std::string find(const std::string& path) override {
        asked.push_back(path);
        return std::ranges::find(files, path) != files.end() ? path.substr(path.rfind('\\') + 1)
                                                             : "";
    }
    std::vector<std::string> files;
    std::vector<std::string> asked;
};

// Starts exactly the programs it was given; any other path fails as a missing file would.
class FakeProgramStart final : public runtime::ProgramStartService {
public:
    void start(const std::string& programPath) override {
        attempted.push_back(programPath);
        if (std::ranges::find(programs, programPath) == programs.end()) {
            throw runtime::RuntimeError("File not found: " + programPath);
        }
    }
    std::vector<std::string> programs;
    std::vector<std::string> attempted;
};

#ifdef _WIN32
using ScopedRegistry = ScopedService<runtime::RegistryService, runtime::RegistrySlot::install>;
#endif
using ScopedFileLookup =
    ScopedService<runtime::FileLookupService, runtime::FileLookupSlot::install>;
using ScopedProgramStart =
    ScopedService<runtime::ProgramStartService, runtime::ProgramStartSlot::install>;
using ScopedMessageBox =
    ScopedService<runtime::MessageBoxService, runtime::MessageBoxSlot::install>;

// The one failure message, with the title a message box without one shows.
inline const Message kUnavailable{"System Information Is Unavailable At This Time", "PedalwiseNew"};

} // namespace pedalwise::test
