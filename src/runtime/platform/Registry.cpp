#include "runtime/platform/Registry.h"
#include "runtime/platform/ServiceSlot.h"

namespace pedalwise::runtime {
namespace {
constinit ServiceSlot<RegistryService> g_registry(systemRegistryService);
} // namespace

RegistryService& registryService() {
    return g_registry.get();
}

RegistryService* setRegistryService(RegistryService* service) {
    return g_registry.install(service);
}

} // namespace pedalwise::runtime
