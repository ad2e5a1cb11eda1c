#pragma once

// Every byte the command line prints goes through here, so that output that
// goes away (a closed pipe, a full disk) is noticed instead of ignored: the
// first failure of each stream is kept, the stream is written no more, and
// the program reports it once its work is done. SIGPIPE is ignored, so a
// reader that quits never ends a download half-way.

#include <string>
#include <string_view>

namespace tavex {

enum class ConsoleStream { Out, Err };

// Writes `text` and flushes it at once; false when the stream failed now or
// before.
bool WriteConsole(ConsoleStream stream, std::string_view text);

inline bool WriteOut(std::string_view text) { return WriteConsole(ConsoleStream::Out, text); }
inline bool WriteErr(std::string_view text) { return WriteConsole(ConsoleStream::Err, text); }

// Turns SIGPIPE into a failed write.
void IgnoreBrokenPipes();

// The exit code once the output has been accounted for: a lost output makes
// a zero exit 1 and is reported on stderr where that still works.
int ExitAfterOutput(int exitCode);

} // namespace tavex
