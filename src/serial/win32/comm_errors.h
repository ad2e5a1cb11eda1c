#pragma once

// The line errors ClearCommError reports, as the CommEvent each raises.

#include "platform/windows_api.h"

#include <cstdint>
#include <vector>

namespace tavex {

// One CommEvent for each error flag set (CE_BREAK, CE_FRAME, CE_OVERRUN,
// CE_RXOVER, CE_RXPARITY), in a fixed order; other flags raise nothing.
std::vector<std::int16_t> LineErrorEvents(DWORD errors);

} // namespace tavex
