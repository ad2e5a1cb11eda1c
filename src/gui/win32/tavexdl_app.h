#pragma once

// The desktop program's start on Windows: the platform's version, OLE, the
// common controls, the automation switches and server, the startup
// reminder when the setting asks for it, then the main window.

#include <string>

namespace tavex {

// True on the Windows NT family (platform id 2): writes then go without
// RTS framing.
bool QueryNtPlatform();

// `commandLine` is the command line without the program's own name.
// Answers the process's exit code.
int RunDesktopApp(const std::wstring& commandLine);

} // namespace tavex
