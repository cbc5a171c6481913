#pragma once

#include "runtime/platform/ServiceSlot.h"

#include <initializer_list>
#include <string>

namespace pedalwise::runtime {

// Starts another program as a process of its own, with a normal window that takes the focus,
// and returns without waiting for it. The path (the program's UTF-8 text) names the
// program file alone: it is never split into a command and arguments, so blanks in it are
// harmless, and the program gets no arguments. A program that cannot be started throws
// RuntimeError.
class ProgramStartService {
public:
    virtual ~ProgramStartService() = default;
    virtual void start(const std::string& programPath);
};

ProgramStartService& systemProgramStartService();

// The service in use: the system's unless a test installed another.
using ProgramStartSlot = ServiceSlot<ProgramStartService, systemProgramStartService>;

// The program's way to start another program.
void StartProgram(const std::string& programPath);

// The full path of the first of `names` that is a program in a folder of PATH, name by name in
// their order, or empty text. Only absolute folders count: the answer must not depend on the
// working folder.
std::string FindProgram(std::initializer_list<const char*> names);

} // namespace pedalwise::runtime
