#include "runtime/qt/ProgramEnd.h"

#include <cstdio>
#include <cstdlib>
#include <iostream>

namespace pedalwise::runtime {
namespace {

class ImmediateEnd final : public ProgramEndService {
public:
    void end() override {
        // Leaving through the event loop would let queued events and the windows' close
        // handling run first; the program must stop where it stands.
        std::cout.flush();
        std::cerr.flush();
        std::fflush(nullptr);
        std::_Exit(EXIT_SUCCESS);
    }
};

ImmediateEnd g_immediate;
ProgramEndService* g_current = nullptr;

} // namespace

ProgramEndService* setProgramEndService(ProgramEndService* service) {
    ProgramEndService* previous = g_current;
    g_current = service;
    return previous;
}

void EndProgram() {
    (g_current != nullptr ? *g_current : g_immediate).end();
}

} // namespace pedalwise::runtime
