#include "cli/host/standard_descriptors.h"

#include "platform/win32/windows_api.h"

#include <optional>

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

// The C library calls the NUL device a terminal too; a console is one. A
// console that refused terminal sequences (before Windows 10, or set to the
// legacy console) would show the table's as raw escapes: it gets plain
// lines, as a pipe does.
bool StandardOutputIsTerminal()
{
    DWORD mode = 0;
    const bool console = GetConsoleMode(GetStdHandle(STD_OUTPUT_HANDLE), &mode) != 0;
    return ConsoleTakesLiveTable(console ? std::optional<unsigned long>(mode) : std::nullopt);
}

} // namespace tavex
