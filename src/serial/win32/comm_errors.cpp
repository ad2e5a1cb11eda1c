#include "serial/win32/comm_errors.h"

#include "serial/comm_control.h"
#include "serial/port_reasons.h"
#include "serial/win32/com_device_path.h"

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

struct ErrorReason {
    DWORD error;
    const char* reason;
    ErrorCategory category;
};

constexpr std::array<ErrorReason, 3> kOpenReasons = {{
    {ERROR_FILE_NOT_FOUND, "No such file or directory", ErrorCategory::kNotFound},
    {ERROR_PATH_NOT_FOUND, "No such file or directory", ErrorCategory::kNotFound},
    {ERROR_SHARING_VIOLATION, port_reason::kInUse, ErrorCategory::kInUse},
}};

} // namespace

// A COM port open elsewhere answers ERROR_ACCESS_DENIED; a file this user
// may not open answers the same, and is no port in use.
SystemReason OpenFailureReason(DWORD error, const std::string& device)
{
    for (const ErrorReason& entry : kOpenReasons) {
        if (entry.error == error) {
            return {entry.reason, entry.category};
        }
    }
    if (error == ERROR_ACCESS_DENIED) {
        return ComPortNumber(device) ? SystemReason{port_reason::kInUse, ErrorCategory::kInUse}
                                     : SystemReason{"Permission denied", ErrorCategory::kPermission};
    }
    return {SystemErrorText(error), SystemErrorCategory(error)};
}

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
