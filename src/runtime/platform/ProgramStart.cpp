#include "runtime/platform/ProgramStart.h"
#include "runtime/platform/ServiceSlot.h"

namespace pedalwise::runtime {
namespace {
constinit ServiceSlot<ProgramStartService> g_programStart(systemProgramStartService);
} // namespace

ProgramStartService& programStartService() {
    return g_programStart.get();
}

ProgramStartService* setProgramStartService(ProgramStartService* service) {
    return g_programStart.install(service);
}

void StartProgram(const std::string& programPath) {
    programStartService().start(programPath);
}

} // namespace pedalwise::runtime
