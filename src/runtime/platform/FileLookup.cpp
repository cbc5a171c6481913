#include "runtime/platform/FileLookup.h"

namespace pedalwise::runtime {

std::string Dir(const std::string& path) {
    return FileLookupSlot::get().find(path);
}

} // namespace pedalwise::runtime
