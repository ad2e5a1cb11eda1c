#include "cli/host/standard_descriptors.h"

#include "platform/windows_api.h"

namespace tavex {

// A missing standard handle is no descriptor number another file could
// take: writes to it fail, and are reported as lost output. The console
// shows UTF-8 and the table's terminal sequences.
bool OpenClosedStandardDescriptors()
{
    SetConsoleOutputCP(CP_UTF8);
    const HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
    DWORD mode = 0;
    if (GetConsoleMode(output, &mode)) {
        SetConsoleMode(output, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING);
    }
    return true;
}

// The C library calls the NUL device a terminal too; a console is one.
bool StandardOutputIsTerminal()
{
    DWORD mode = 0;
    return GetConsoleMode(GetStdHandle(STD_OUTPUT_HANDLE), &mode) != 0;
}

} // namespace tavex
