#pragma once

#include "runtime/platform/ServiceSlot.h"

namespace pedalwise::runtime {

// Ends the program. The real service stops the process at once; tests install a recorder.
class ProgramEndService {
public:
    virtual ~ProgramEndService() = default;
    virtual void end() = 0;
};

// The real service.
ProgramEndService& immediateEnd();

// The service in use: the real one unless a test installed another.
using ProgramEndSlot = ServiceSlot<ProgramEndService, immediateEnd>;

// Ends the whole program at once: no later statement, event or close handler runs, and
// nothing is saved or asked. Returns only when a test has replaced the service.
void EndProgram();

} // namespace pedalwise::runtime
