#pragma once

#include <utility>

namespace pedalwise::runtime {

// Where the program finds one platform service: the system's own, as `System` answers it,
// unless a test installed a replacement. Constant-initialised, so it is usable before any
// static constructor runs.
template <class Service, Service& (*System)()> class ServiceSlot {
public:
    ServiceSlot() = delete;

    static Service& get() { return s_installed != nullptr ? *s_installed : System(); }

    // Installs a service and answers the one installed before; nullptr puts the system's back.
    // The caller keeps ownership.
    static Service* install(Service* service) { return std::exchange(s_installed, service); }

private:
    static constinit inline Service* s_installed = nullptr;
};

} // namespace pedalwise::runtime
