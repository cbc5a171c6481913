#include "runtime/platform/win/AdvapiRegistry.h"
#include "runtime/platform/RuntimeError.h"

#include "runtime/platform/win/SystemLibrary.h"

#include <utility>

namespace pedalwise::runtime {

struct AdvapiRegistry::Functions {
    using Open = LONG(WINAPI*)(HKEY, LPCSTR, DWORD, REGSAM, PHKEY);
    using Query = LONG(WINAPI*)(HKEY, LPCSTR, LPDWORD, LPDWORD, LPBYTE, LPDWORD);
    using Close = LONG(WINAPI*)(HKEY);

    Open open = nullptr;
    Query query = nullptr;
    Close close = nullptr;
};

namespace {

template <class Function>
Function entryPoint(const SystemLibrary& library, const std::string& libraryName,
                    const char* name) {
    const auto function = library.function<Function>(name);
    if (function == nullptr) {
        throw RuntimeError("Can't find DLL entry point " + std::string(name) + " in " +
                           libraryName);
    }
    return function;
}

HKEY toHandle(RegistryKey key) {
    return reinterpret_cast<HKEY>(key);
}

} // namespace

AdvapiRegistry::AdvapiRegistry(std::string library) : m_library(std::move(library)) {}

AdvapiRegistry::~AdvapiRegistry() = default;

const AdvapiRegistry::Functions& AdvapiRegistry::functions() {
    if (m_functions == nullptr) {
        SystemLibrary library(m_library);
        if (!library.loaded()) {
            throw RuntimeError("File not found: " + m_library);
        }
        // A missing function frees the library again, so that the next call, which tries
        // again from the start, does not pile up references.
        auto bound = std::make_unique<Functions>();
        bound->open = entryPoint<Functions::Open>(library, m_library, "RegOpenKeyExA");
        bound->query = entryPoint<Functions::Query>(library, m_library, "RegQueryValueExA");
        bound->close = entryPoint<Functions::Close>(library, m_library, "RegCloseKey");
        library.keep();
        m_functions = std::move(bound);
    }
    return *m_functions;
}

std::int32_t AdvapiRegistry::open(RegistryKey root, const std::string& keyPath,
                                  std::uint32_t options, std::uint32_t samDesired,
                                  RegistryKey& handle) {
    HKEY opened = nullptr;
    const LONG status =
        functions().open(toHandle(root), keyPath.c_str(), options, samDesired, &opened);
    if (status == ERROR_SUCCESS) {
        handle = reinterpret_cast<RegistryKey>(opened);
    }
    return status;
}

std::int32_t AdvapiRegistry::queryValue(RegistryKey key, const std::string& valueName,
                                        std::uint32_t reserved, std::uint32_t& type,
                                        std::uint8_t* data, std::uint32_t& length) {
    DWORD valueType = type;
    DWORD valueLength = length;
    // The reserved argument is a pointer that must be null; a non-zero value passes through
    // so that the system rejects it as it would.
    const LONG status =
        functions().query(toHandle(key), valueName.c_str(),
                          reinterpret_cast<LPDWORD>(static_cast<std::uintptr_t>(reserved)),
                          &valueType, data, &valueLength);
    type = valueType;
    length = valueLength;
    return status;
}

std::int32_t AdvapiRegistry::close(RegistryKey key) {
    return functions().close(toHandle(key));
}

RegistryService& systemRegistryService() {
    static AdvapiRegistry registry;
    return registry;
}

} // namespace pedalwise::runtime
