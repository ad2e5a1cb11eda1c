#pragma once

// Every byte the command line prints goes through here, so that output that
// goes away (a closed pipe, a full disk) is noticed instead of ignored: the
// first failure of each stream is kept, the stream is written no more, and
// the program reports it once its work is done. SIGPIPE is ignored, so a
// reader that quits never ends a download half-way.
//
// The writes themselves happen on a thread of their own, in the order they
// were made: a reader that stops reading never holds up the caller.

#include "cli/output/console_write.h"

#include <cstddef>
#include <string_view>

namespace tavex {

// Queues `text` for the stream, written and flushed soon after; false when
// the stream has failed before, and the text goes nowhere.
bool WriteConsole(ConsoleStream stream, std::string_view text);

inline bool WriteOut(std::string_view text) { return WriteConsole(ConsoleStream::Out, text); }
inline bool WriteErr(std::string_view text) { return WriteConsole(ConsoleStream::Err, text); }

// A redraw on stdout: a progress line, the updating line, the live table.
// While the reader lags behind, a newer redraw of the same `subject` takes
// the place of one still waiting, which is never written; so each must show
// the whole of its part by itself, whatever redraw came before.
bool WriteRedraw(std::string_view text, std::size_t subject = 0);

// Turns SIGPIPE into a failed write.
void IgnoreBrokenPipes();

// The exit code once the output has been accounted for: waits until all
// that was queued is written (or its stream failed); a lost output makes a
// zero exit 1 and is reported on stderr where that still works.
int ExitAfterOutput(int exitCode);

} // namespace tavex
