#include "runtime/platform/FileLookup.h"
#include "runtime/platform/ServiceSlot.h"

namespace pedalwise::runtime {
namespace {
constinit ServiceSlot<FileLookupService> g_fileLookup(systemFileLookupService);
} // namespace

FileLookupService& fileLookupService() {
    return g_fileLookup.get();
}

FileLookupService* setFileLookupService(FileLookupService* service) {
    return g_fileLookup.install(service);
}

std::string Dir(const std::string& path) {
    return fileLookupService().find(path);
}

} // namespace pedalwise::runtime
