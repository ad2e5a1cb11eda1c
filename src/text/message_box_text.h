#pragma once

#include <string>

namespace tavex {

// What a desktop program's message box says: the message as it always
// reads, then, after a blank line, the system's reason when there is one.
// An operator reads the box's text; a detail behind a button goes unread.
inline std::string MessageBoxText(const std::string& message, const std::string& reason)
{
    return reason.empty() ? message : message + "\n\n(" + reason + ")";
}

} // namespace tavex
