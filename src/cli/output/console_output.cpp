#include "cli/output/console_output.h"

#include "cli/exit_codes.h"
#include "cli/output/console_writer.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>

namespace tavex {

namespace {

int WriteStandardStream(ConsoleStream stream, std::string_view text)
{
    std::FILE* file = stream == ConsoleStream::Out ? stdout : stderr;
    errno = 0;
    const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    if (std::fflush(file) != 0 || !written) {
        return errno != 0 ? errno : EIO;
    }
    return 0;
}

// Never destroyed: at the program's end its thread may still be inside a
// write to a reader that stopped for good, which no destructor may wait for.
ConsoleWriter& Writer()
{
    static ConsoleWriter* const writer = new ConsoleWriter(WriteStandardStream);
    return *writer;
}

} // namespace

bool WriteConsole(ConsoleStream stream, std::string_view text)
{
    return Writer().Write({stream, std::string(text), std::nullopt});
}

bool WriteRedraw(std::string_view text, std::size_t subject)
{
    return Writer().Write({ConsoleStream::Out, std::string(text), subject});
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
    ConsoleWriter& writer = Writer();
    writer.Drain();
    const int outFailure = writer.Failure(ConsoleStream::Out);
    const int errFailure = writer.Failure(ConsoleStream::Err);
    if (outFailure == 0 && errFailure == 0) {
        return exitCode;
    }
    if (outFailure != 0) {
        WriteErr(std::string("tavexdl-cli: standard output could not be written: ") + std::strerror(outFailure) +
                 "\n");
        writer.Drain();
    }
    return exitCode == kExitOk ? kExitFailed : exitCode;
}

} // namespace tavex
