#pragma once

#include <utility>

namespace pedalwise::runtime {

// Where the program finds one platform service: the system's own unless a test installed a
// replacement. Constant-initialised, so it is usable before any static constructor runs.
template <class Service> class ServiceSlot {
public:
    using SystemService = Service& (*)();

    explicit constexpr ServiceSlot(SystemService system) : m_system(system) {}

    Service& get() const { return m_installed != nullptr ? *m_installed : m_system(); }

    // nullptr puts the system's service back; answers the one installed before.
    Service* install(Service* service) { return std::exchange(m_installed, service); }

private:
    SystemService m_system;
    Service* m_installed = nullptr;
};

} // namespace pedalwise::runtime
