#include "runtime/platform/win/SystemLibrary.h"

namespace pedalwise::runtime {

SystemLibrary::SystemLibrary(const std::string& name)
    : m_module(::LoadLibraryExA(name.c_str(), nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32)) {}

SystemLibrary::~SystemLibrary() {
    if (m_module != nullptr && !m_kept) {
        ::FreeLibrary(m_module);
    }
}

FARPROC SystemLibrary::address(const char* name) const {
    return m_module == nullptr ? nullptr : ::GetProcAddress(m_module, name);
}

} // namespace pedalwise::runtime
