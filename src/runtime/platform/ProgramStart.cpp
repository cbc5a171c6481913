#include "runtime/platform/ProgramStart.h"

namespace pedalwise::runtime {

void StartProgram(const std::string& programPath) {
    ProgramStartSlot::get().start(programPath);
}

} // namespace pedalwise::runtime
