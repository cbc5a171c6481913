#include "ui/about/SysInfo.h"

#include "runtime/platform/MessageBox.h"
#include "runtime/platform/ProgramStart.h"

#include <string>

#ifdef _WIN32
#include "runtime/platform/CodePage.h"
#include "runtime/platform/FileLookup.h"
#include "runtime/platform/Registry.h"
#include "runtime/platform/RuntimeError.h"

#include <algorithm>
#include <array>
#endif

namespace pedalwise::ui {
namespace {

#ifdef _WIN32
using runtime::RegistryService;

constexpr const char* kViewerKey = R"(SOFTWARE\Microsoft\Shared Tools\MSINFO)";
constexpr const char* kViewerValue = "PATH";
constexpr const char* kFolderKey = R"(SOFTWARE\Microsoft\Shared Tools Location)";
constexpr const char* kFolderValue = "MSINFO";
constexpr const char* kViewerFile = "\\MSINFO32.EXE";

constexpr std::size_t kBufferSize = 1024;
using ValueBuffer = std::array<std::uint8_t, kBufferSize>;

// The value's bytes without a terminating NUL: the byte at the returned length decides. A
// length beyond the buffer keeps the whole buffer.
std::string trimmedValue(const ValueBuffer& buffer, std::uint32_t length) {
    if (length == 0) {
        throw runtime::RuntimeError("Invalid procedure call or argument");
    }
    std::size_t kept = std::min<std::size_t>(length, buffer.size());
    if (length <= buffer.size() && buffer[length - 1] == 0) {
        kept = length - 1;
    }
    return {reinterpret_cast<const char*>(buffer.data()), kept};
}

// A 32-bit number arrives as its bytes, least significant first, and possibly trimmed of a
// zero high byte. They are read back most significant first as a hexadecimal numeral, and its
// value is written in decimal, unsigned.
std::string numberText(const std::string& bytes) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string numeral;
    for (std::size_t i = bytes.size(); i-- > 0;) {
        const auto code = static_cast<unsigned char>(bytes[i]);
        numeral += kDigits[code >> 4];
        numeral += kDigits[code & 0x0F];
    }
    const std::size_t significant = numeral.find_first_not_of('0');
    if (significant != std::string::npos && numeral.size() - significant > 8) {
        throw runtime::RuntimeError("Overflow");
    }
    return numeral.empty() ? "0" : std::to_string(std::stoul(numeral, nullptr, 16));
}

// Steps from opening the key to converting the value; the caller closes the handle.
bool readValue(RegistryService& registry, std::int32_t root, const std::string& keyName,
               const std::string& valueName, runtime::RegistryKey& handle, std::string& text) {
    // A name the code page cannot hold names no key or value.
    const auto key = runtime::toSystemCodePage(keyName);
    const auto name = runtime::toSystemCodePage(valueName);
    // Reading is all this does, so the key is opened for reading only: a normal user is
    // refused anything more below HKEY_LOCAL_MACHINE.
    if (!key || !name ||
        registry.open(root, *key, 0, runtime::kKeyRead, handle) != runtime::kErrorSuccess) {
        text.clear();
        return false;
    }
    ValueBuffer buffer{};
    auto length = static_cast<std::uint32_t>(buffer.size());
    std::uint32_t type = 0;
    if (registry.queryValue(handle, *name, 0, type, buffer.data(), length) !=
        runtime::kErrorSuccess) {
        text.clear();
        return false;
    }
    const std::string value = trimmedValue(buffer, length);
    if (type == runtime::kRegSz) {
        text = runtime::fromSystemCodePage(value);
    } else if (type == runtime::kRegDword) {
        text = numberText(value);
    }
    return true;
}

// The viewer's program path from the registry, in the order of the search.
bool findViewer(std::string& path) {
    if (!GetKeyValue(runtime::kLocalMachine32, kViewerKey, kViewerValue, path)) {
        if (!GetKeyValue(runtime::kLocalMachine32, kFolderKey, kFolderValue, path)) {
            return false;
        }
        // The folder is used as read: one ending in a backslash gives a doubled one.
        const std::string viewer = path + kViewerFile;
        if (runtime::Dir(viewer).empty()) {
            return false;
        }
        path = viewer;
    }
    return true;
}

} // namespace

bool GetKeyValue(std::int32_t KeyRoot, const std::string& KeyName, const std::string& SubKeyRef,
                 std::string& KeyVal) {
    RegistryService& registry = runtime::RegistrySlot::get();
    runtime::RegistryKey handle = 0;
    bool found = false;
    try {
        found = readValue(registry, KeyRoot, KeyName, SubKeyRef, handle, KeyVal);
    } catch (...) {
        try {
            registry.close(handle);
        } catch (...) {
            // The error that stopped the read is the one to report.
        }
        throw;
    }
    registry.close(handle);
    return found;
}

#else

// KDE's and the GTK desktops' viewers, in order of preference.
bool findViewer(std::string& path) {
    path = runtime::FindProgram({"hardinfo2", "hardinfo", "kinfocenter"});
    return !path.empty();
}

} // namespace

#endif

void StartSysInfo() {
    bool started = false;
    try {
        std::string path;
        if (findViewer(path)) {
            runtime::StartProgram(path);
            started = true;
        }
    } catch (...) {
        // Every failure ends in the same message.
    }
    if (!started) {
        runtime::MsgBox(kSysInfoUnavailable);
    }
}

} // namespace pedalwise::ui
