#pragma once

// The line settings as the values a Win32 DCB takes.

#include "platform/win32/windows_api.h"
#include "serial/line_settings.h"

namespace tavex {

// Writes the line settings into a DCB, leaving its other fields alone.
void ApplyDcbSettings(DCB& dcb, const LineSettings& settings);

} // namespace tavex
