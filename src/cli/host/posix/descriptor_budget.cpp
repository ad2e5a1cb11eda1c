#include "cli/host/descriptor_budget.h"

#include <fcntl.h>
#include <unistd.h>

#include <vector>

namespace tavex {

std::size_t DevicesTheDescriptorsCarry(std::size_t devices)
{
    std::vector<int> taken;
    const std::size_t wanted = kRuntimeReserve + devices * kDescriptorsPerDevice;
    while (taken.size() < wanted) {
        const int descriptor = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
        if (descriptor < 0) {
            break;
        }
        taken.push_back(descriptor);
    }
    const std::size_t carried = taken.size() > kRuntimeReserve
                                    ? (taken.size() - kRuntimeReserve) / kDescriptorsPerDevice
                                    : 0;
    for (const int descriptor : taken) {
        ::close(descriptor);
    }
    return carried;
}

} // namespace tavex
