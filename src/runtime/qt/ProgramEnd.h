#pragma once

namespace pedalwise::runtime {

// Ends the program. The real service stops the process at once; tests install a recorder.
class ProgramEndService {
public:
    virtual ~ProgramEndService() = default;
    virtual void end() = 0;
};

// Installs a service (nullptr restores the real one) and returns the previous one. The caller
// keeps ownership.
ProgramEndService* setProgramEndService(ProgramEndService* service);

// Ends the whole program at once: no later statement, event or close handler runs, and
// nothing is saved or asked. Returns only when a test has replaced the service.
void EndProgram();

} // namespace pedalwise::runtime
