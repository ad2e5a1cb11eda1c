#include "serial/posix/line_errors.h"

#include "serial/comm_control.h"

#include <array>

namespace tavex {

namespace {

struct CountEvent {
    std::uint32_t LineErrorCounts::*count;
    std::int16_t commEvent;
};

constexpr std::array<CountEvent, 5> kCountEvents = {{
    {&LineErrorCounts::breaks, comm_event::kBreak},
    {&LineErrorCounts::frame, comm_event::kFrame},
    {&LineErrorCounts::overrun, comm_event::kOverrun},
    {&LineErrorCounts::bufferOverrun, comm_event::kRxOver},
    {&LineErrorCounts::parity, comm_event::kRxParity},
}};

} // namespace

std::vector<std::int16_t> NewLineErrors(const LineErrorCounts& before, const LineErrorCounts& now)
{
    std::vector<std::int16_t> events;
    for (const CountEvent& entry : kCountEvents) {
        if (now.*entry.count > before.*entry.count) {
            events.push_back(entry.commEvent);
        }
    }
    return events;
}

} // namespace tavex
