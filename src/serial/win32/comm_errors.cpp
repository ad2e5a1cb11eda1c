#include "serial/win32/comm_errors.h"

#include "serial/comm_control.h"

#include <array>

namespace tavex {

namespace {

struct ErrorEvent {
    DWORD flag;
    std::int16_t commEvent;
};

// The order the Linux driver's counts are read in, so both report alike.
constexpr std::array<ErrorEvent, 5> kErrorEvents = {{
    {CE_BREAK, comm_event::kBreak},
    {CE_FRAME, comm_event::kFrame},
    {CE_OVERRUN, comm_event::kOverrun},
    {CE_RXOVER, comm_event::kRxOver},
    {CE_RXPARITY, comm_event::kRxParity},
}};

} // namespace

std::vector<std::int16_t> LineErrorEvents(DWORD errors)
{
    std::vector<std::int16_t> events;
    for (const ErrorEvent& entry : kErrorEvents) {
        if ((errors & entry.flag) != 0) {
            events.push_back(entry.commEvent);
        }
    }
    return events;
}

} // namespace tavex
