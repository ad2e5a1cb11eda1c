#pragma once

// The line errors ClearCommError reports, as the CommEvent each raises, and
// the reasons a port could not be opened, in the words the Linux port uses.

#include "platform/win32/windows_api.h"
#include "text/error_category.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tavex {

// One CommEvent for each error flag set (CE_BREAK, CE_FRAME, CE_OVERRUN,
// CE_RXOVER, CE_RXPARITY), in a fixed order; other flags raise nothing.
std::vector<std::int16_t> LineErrorEvents(DWORD errors);

// Why CreateFile refused `device` with `error`: a COM port another handle has
// is "in use by another program", a missing one "No such file or directory";
// other errors in the system's words.
SystemReason OpenFailureReason(DWORD error, const std::string& device);

} // namespace tavex
