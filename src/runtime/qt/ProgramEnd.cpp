#include "runtime/qt/ProgramEnd.h"

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

} // namespace

ProgramEndService& immediateEnd() {
    static ImmediateEnd service;
    return service;
}

void EndProgram() {
    ProgramEndSlot::get().end();
}

} // namespace pedalwise::runtime
