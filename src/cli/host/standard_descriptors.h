#pragma once

// A program started with stdin, stdout or stderr closed (`<&- >&-`) would
// give the next descriptor it opens, a socket or the serial device, the
// number of the closed one: its output would go there, and what it reads
// from stdin would come from there.

#include <optional>

namespace tavex {

// Opens /dev/null on each of descriptors 0, 1 and 2 that is closed; false
// when one could not be. Call before anything opens a descriptor. (On
// Windows: sets the console up for UTF-8 and terminal sequences.)
bool OpenClosedStandardDescriptors();

// Standard output is a terminal (a console window on Windows), which can
// take a live table.
bool StandardOutputIsTerminal();

#ifdef _WIN32
// A console's mode (none for a pipe or a file) takes the live table when it
// has terminal sequences on.
constexpr bool ConsoleTakesLiveTable(std::optional<unsigned long> consoleMode)
{
    constexpr unsigned long kVirtualTerminalProcessing = 0x0004;  // ENABLE_VIRTUAL_TERMINAL_PROCESSING
    return consoleMode && (*consoleMode & kVirtualTerminalProcessing) != 0;
}
#endif

} // namespace tavex
