#include "runtime/qt/ProgramEnd.h"

#include "runtime/platform/ServiceSlot.h"

#include <cstdio>
#include <cstdlib>

namespace pedalwise::runtime {
namespace {

class ImmediateEnd final : public ProgramEndService {
public:
    void end() override {
        // Leaving through the event loop would let queued events and the windows' close
        // handling run first; the program must stop where it stands.
        std::fflush(nullptr);
        std::_Exit(EXIT_SUCCESS);
    }
};

ProgramEndService& immediateEnd() {
    static ImmediateEnd service;
    return service;
}

constinit ServiceSlot<ProgramEndService> g_slot(immediateEnd);

} // namespace

ProgramEndService* setProgramEndService(ProgramEndService* service) {
    return g_slot.install(service);
}

void EndProgram() {
    g_slot.get().end();
}

} // namespace pedalwise::runtime
