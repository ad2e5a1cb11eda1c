#include "cli/host/descriptor_budget.h"

namespace tavex {

// Windows sets no small limit on a process's handles.
std::size_t DevicesTheDescriptorsCarry(std::size_t devices) { return devices; }

} // namespace tavex
