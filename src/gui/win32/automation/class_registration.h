#pragma once

// The class registry entries of "TavexDL.Application", a local automation
// server, as every plain start of the program refreshes them.

#include "platform/win32/windows_api.h"

#include <string>

namespace tavex {

// A class id in the registry's spelling, "{5B3C2A71-...}".
std::wstring ClassIdText(REFGUID classId);

// The program's path as the command line the system runs to start the
// server, quoted: unquoted, a path with a blank in it ("C:\Program Files\...")
// would start whatever program the part before the blank names.
std::wstring LocalServerCommand(const std::wstring& programPath);

// This program's own full path; empty when the system gives none.
std::wstring OwnProgramPath();

// The entries under `classes`, a key laid out as HKEY_CLASSES_ROOT:
//   TavexDL.Application                 = "TavexDL.Application"
//   TavexDL.Application\CLSID           = "{class id}"
//   CLSID\{class id}                    = "TavexDL.Application"
//   CLSID\{class id}\ProgID             = "TavexDL.Application"
//   CLSID\{class id}\LocalServer32      = localServerCommand
// Answers whether all of them were written.
bool WriteClassEntries(HKEY classes, const std::wstring& localServerCommand);

// The entries with this program as the server, for the user under
// HKEY_CURRENT_USER\Software\Classes, which needs no administrator's rights,
// and for the machine under HKEY_LOCAL_MACHINE\Software\Classes where the
// user may write there. Nothing is reported.
void RefreshClassEntries();

} // namespace tavex
