#include "cli/output/console_output.h"

#include "cli/exit_codes.h"

#include <array>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <mutex>

namespace tavex {

namespace {

struct StreamState {
    std::FILE* file;
    const char* name;
    int failure = 0;  // errno of the first failed write, 0 while none failed
};

std::mutex consoleMutex;
std::array<StreamState, 2> streams = {{{stdout, "standard output"}, {stderr, "standard error"}}};

StreamState& StateOf(ConsoleStream stream) { return streams[stream == ConsoleStream::Out ? 0 : 1]; }

} // namespace

bool WriteConsole(ConsoleStream stream, std::string_view text)
{
    const std::lock_guard lock(consoleMutex);
    StreamState& state = StateOf(stream);
    if (state.failure != 0) {
        return false;
    }
    errno = 0;
    const bool written = std::fwrite(text.data(), 1, text.size(), state.file) == text.size();
    if (std::fflush(state.file) != 0 || !written) {
        state.failure = errno != 0 ? errno : EIO;
        return false;
    }
    return true;
}

// Windows has no such signal: a write to a closed pipe only fails.
void IgnoreBrokenPipes()
{
#ifdef SIGPIPE
    std::signal(SIGPIPE, SIG_IGN);
#endif
}

int ExitAfterOutput(int exitCode)
{
    // What stdio still holds, from writes that did not come through here.
    WriteOut({});
    WriteErr({});
    const StreamState& out = StateOf(ConsoleStream::Out);
    const StreamState& err = StateOf(ConsoleStream::Err);
    if (out.failure == 0 && err.failure == 0) {
        return exitCode;
    }
    if (out.failure != 0) {
        WriteErr(std::string("tavexdl-cli: ") + out.name + " could not be written: " + std::strerror(out.failure) +
                 "\n");
    }
    return exitCode == kExitValid ? kExitInvalid : exitCode;
}

} // namespace tavex
