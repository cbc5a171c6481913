#pragma once

#include <stdexcept>
#include <string>

namespace pedalwise::runtime {

// The program's run-time error. A handler's error trap is a try block whose catch is its
// resume point; anything a handler does not trap is caught once, by the runtime, and shown.
class RuntimeError : public std::runtime_error {
public:
    explicit RuntimeError(const std::string& what) : std::runtime_error(what) {}
};

} // namespace pedalwise::runtime
