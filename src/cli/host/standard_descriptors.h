#pragma once

// A program started with stdin, stdout or stderr closed (`<&- >&-`) would
// give the next descriptor it opens, a socket or the serial device, the
// number of the closed one: its output would go there, and what it reads
// from stdin would come from there.

namespace tavex {

// Opens /dev/null on each of descriptors 0, 1 and 2 that is closed; false
// when one could not be. Call before anything opens a descriptor. (On
// Windows: sets the console up for UTF-8 and terminal sequences.)
bool OpenClosedStandardDescriptors();

// Standard output is a terminal (a console window on Windows), which can
// take a live table.
bool StandardOutputIsTerminal();

} // namespace tavex
