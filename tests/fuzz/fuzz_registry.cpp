// Whatever the registry answers (any status, type, length and bytes), reading a value gives
// a found or not-found answer or a run-time error, and never reads outside its buffer.
#include "runtime/platform/Registry.h"
#include "runtime/platform/RuntimeError.h"
#include "ui/about/SysInfo.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

using namespace pedalwise;

namespace {

// Answers from the fuzzer's bytes: open status, query status, type, claimed length, data.
class ScriptedRegistry final : public runtime::RegistryService {
public:
    ScriptedRegistry(const std::uint8_t* data, std::size_t size) {
        auto take = [&](std::size_t n) {
            std::uint32_t value = 0;
            for (std::size_t i = 0; i < n && size > 0; ++i, ++data, --size) {
                value = (value << 8) | *data;
            }
            return value;
        };
        m_openStatus = static_cast<std::int32_t>(pickStatus(take(1)));
        m_queryStatus = static_cast<std::int32_t>(pickStatus(take(1)));
        m_type = take(1) % 8;
        m_length = take(2);
        m_bytes.assign(reinterpret_cast<const char*>(data), size);
    }

    std::int32_t open(runtime::RegistryKey, const std::string&, std::uint32_t, std::uint32_t,
                      runtime::RegistryKey& handle) override {
        if (m_openStatus == runtime::kErrorSuccess) {
            handle = 42;
        }
        return m_openStatus;
    }
    std::int32_t queryValue(runtime::RegistryKey, const std::string&, std::uint32_t,
                            std::uint32_t& type, std::uint8_t* data,
                            std::uint32_t& length) override {
        // Never writes past the buffer it was given, but may claim any length at all.
        std::memcpy(data, m_bytes.data(), std::min<std::size_t>(length, m_bytes.size()));
        type = m_type;
        length = m_length;
        return m_queryStatus;
    }
    std::int32_t close(runtime::RegistryKey) override { return runtime::kErrorSuccess; }

private:
    static std::uint32_t pickStatus(std::uint32_t byte) {
        switch (byte % 5) {
        case 0:
        case 1:
            return runtime::kErrorSuccess;
        case 2:
            return runtime::kErrorFileNotFound;
        case 3:
            return runtime::kErrorMoreData;
        default:
            return byte;
        }
    }

    std::int32_t m_openStatus = 0;
    std::int32_t m_queryStatus = 0;
    std::uint32_t m_type = 0;
    std::uint32_t m_length = 0;
    std::string m_bytes;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ScriptedRegistry registry(data, size);
    runtime::RegistryService* previous = runtime::RegistrySlot::install(&registry);
    std::string value;
    try {
        const bool found = ui::GetKeyValue(
            runtime::kLocalMachine32, "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO", "PATH", value);
        if (!found && !value.empty()) {
            std::abort(); // a value that was not found leaves nothing behind
        }
    } catch (const runtime::RuntimeError&) {
        // Zero-length data and over-wide numbers are run-time errors by design.
    }
    runtime::RegistrySlot::install(previous);
    return 0;
}
