#pragma once

#include "runtime/platform/Registry.h"

#include <memory>
#include <string>

namespace pedalwise::runtime {

// The Windows registry through RegOpenKeyExA, RegQueryValueExA and RegCloseKey of a system
// library, bound at the first call. A library or function that cannot be bound throws
// RuntimeError from that call and from every later one. The library is named so that a
// test can name one that lacks the functions.
class AdvapiRegistry final : public RegistryService {
public:
    explicit AdvapiRegistry(std::string library = "advapi32");
    ~AdvapiRegistry() override;

    std::int32_t open(RegistryKey root, const std::string& keyPath, std::uint32_t options,
                      std::uint32_t samDesired, RegistryKey& handle) override;
    std::int32_t queryValue(RegistryKey key, const std::string& valueName, std::uint32_t reserved,
                            std::uint32_t& type, std::uint8_t* data,
                            std::uint32_t& length) override;
    std::int32_t close(RegistryKey key) override;

private:
    struct Functions;
    const Functions& functions();

    std::string m_library;
    std::unique_ptr<Functions> m_functions;
};

} // namespace pedalwise::runtime
