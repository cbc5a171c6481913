#pragma once

#include "runtime/platform/ServiceSlot.h"

#include <cstdint>
#include <string>

namespace pedalwise::runtime {

// A registry key handle as the system passes it (HKEY's value); 0 is the empty handle.
using RegistryKey = std::intptr_t;

// Root of the machine-wide settings. Windows defines its root handles as 32-bit values
// widened with their sign, so the 32-bit form and this one name the same key.
inline constexpr std::int32_t kLocalMachine32 = static_cast<std::int32_t>(0x80000002u);
inline constexpr RegistryKey kLocalMachine = kLocalMachine32;

// Access right for reading values and listing sub-keys, nothing more.
inline constexpr std::uint32_t kKeyRead = 0x20019;

// Value types.
inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegDword = 4;

// Status codes, as the system's error numbers.
inline constexpr std::int32_t kErrorSuccess = 0;
inline constexpr std::int32_t kErrorFileNotFound = 2;
inline constexpr std::int32_t kErrorMoreData = 234;

// The system registry with the calling conventions of RegOpenKeyExA, RegQueryValueExA and
// RegCloseKey: a status result, texts as 8-bit system-code-page strings, value data as raw
// bytes. queryValue takes the buffer's size in `length` and gives back the number of bytes
// of the value; data longer than the buffer answers kErrorMoreData. A backend whose system
// library cannot be bound throws RuntimeError.
class RegistryService {
public:
    virtual ~RegistryService() = default;
    virtual std::int32_t open(RegistryKey root, const std::string& keyPath, std::uint32_t options,
                              std::uint32_t samDesired, RegistryKey& handle) = 0;
    virtual std::int32_t queryValue(RegistryKey key, const std::string& valueName,
                                    std::uint32_t reserved, std::uint32_t& type, std::uint8_t* data,
                                    std::uint32_t& length) = 0;
    virtual std::int32_t close(RegistryKey key) = 0;
};

// The Windows registry (win/); Linux has none.
RegistryService& systemRegistryService();

// The service in use: the system's unless a test installed another.
using RegistrySlot = ServiceSlot<RegistryService, systemRegistryService>;

} // namespace pedalwise::runtime
