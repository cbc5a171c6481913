#pragma once

#include "runtime/platform/win/WindowsApi.h"

#include <string>

namespace pedalwise::runtime {

// A library of the system bound at run time: only the system folder's own copy is loaded,
// never a file of that name beside the program or on the path, and its functions are looked
// up by name with the caller's type. The library is freed again when this goes, unless kept.
class SystemLibrary {
public:
    explicit SystemLibrary(const std::string& name);
    ~SystemLibrary();
    SystemLibrary(const SystemLibrary&) = delete;
    SystemLibrary& operator=(const SystemLibrary&) = delete;

    // Whether the system folder has the library.
    bool loaded() const { return m_module != nullptr; }

    // The function of that name, or null where the library or the function is missing.
    template <class Function> Function function(const char* name) const {
        // GetProcAddress answers a generic function pointer; the declared type is the
        // caller's. The detour through void(*)() is the conversion the compiler accepts
        // without a warning.
        return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(address(name)));
    }

    // The library stays loaded for the life of the process, as a declared function's does,
    // so that the functions looked up in it stay valid.
    void keep() { m_kept = true; }

private:
    FARPROC address(const char* name) const;

    HMODULE m_module;
    bool m_kept = false;
};

} // namespace pedalwise::runtime
