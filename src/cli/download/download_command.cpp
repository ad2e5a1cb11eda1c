#include "cli/download/download_command.h"

#include "cli/output/console_output.h"
#include "cli/download/download_target.h"
#include "cli/exit_codes.h"
#include "cli/host/standard_descriptors.h"
#include "cli/station/parallel_download.h"
#include "cli/download/session_run.h"
#include "cli/host/event_system.h"
#include "cli/host/signal_relay.h"
#include "cli/host/thread_loop.h"
#include "cli/station/station_log.h"
#include "cli/output/terminal_text.h"

#include <charconv>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

namespace tavex {

namespace {

constexpr const char* kUsage = "usage: tavexdl-cli download FILE (--device PATH | --com N)... [--wait SECONDS] "
                               "[--loop] [--log FILE] [--json] [--trace]\n";

// A whole decimal number from `lowest` to `highest`, and nothing after it.
std::optional<int> ParseNumberIn(std::string_view text, int lowest, int highest)
{
    int number = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (error != std::errc() || end != text.data() + text.size() || number < lowest || number > highest) {
        return std::nullopt;
    }
    return number;
}

// "--com 1,3,5": the COM numbers, each from 1 to 16.
bool ParseComList(std::string_view text, std::vector<DownloadTarget>& targets)
{
    while (true) {
        const std::size_t comma = text.find(',');
        const std::optional<int> number = ParseNumberIn(text.substr(0, comma), 1, 16);
        if (!number) {
            return false;
        }
        targets.push_back({"", *number});
        if (comma == std::string_view::npos) {
            return true;
        }
        text.remove_prefix(comma + 1);
    }
}

std::optional<DownloadOptions> ParseOptions(int argc, char** argv)
{
    DownloadOptions options;
    bool haveFile = false;
    for (int i = 2; i < argc; ++i) {
        const std::string_view argument = argv[i];
        const bool hasValue = i + 1 < argc;
        if (argument == "--json") {
            options.json = true;
        } else if (argument == "--trace") {
            options.trace = true;
        } else if (argument == "--device" && hasValue) {
            if (*argv[++i] == '\0') {
                std::fputs("tavexdl-cli download: --device takes a device path, not an empty one\n", stderr);
                return std::nullopt;
            }
            options.targets.push_back({argv[i], 0});
        } else if (argument == "--com" && hasValue) {
            if (!ParseComList(argv[++i], options.targets)) {
                std::fputs("tavexdl-cli download: --com takes port numbers from 1 to 16, such as 1 or 1,3,5\n", stderr);
                return std::nullopt;
            }
        } else if (argument == "--loop") {
            options.loop = true;
        } else if (argument == "--log" && hasValue) {
            options.logFile = argv[++i];
        } else if (argument == "--wait" && hasValue) {
            const std::optional<int> seconds = ParseNumberIn(argv[++i], 0, 86400);
            if (!seconds) {
                std::fputs("tavexdl-cli download: --wait takes a number of seconds\n", stderr);
                return std::nullopt;
            }
            options.waitSeconds = *seconds;
        } else if (!argument.starts_with("--") && !haveFile) {
            options.file = std::string(argument);
            haveFile = true;
        } else {
            std::fprintf(stderr, "tavexdl-cli download: unexpected argument '%s'\n", TerminalSafe(argv[i]).c_str());
            return std::nullopt;
        }
    }
    if (!haveFile || options.targets.empty()) {
        std::fputs("tavexdl-cli download: give an image file and --device PATH or --com N\n", stderr);
        return std::nullopt;
    }
    return options;
}

std::unique_ptr<IDownloadReporter> MakeReporter(bool json)
{
    if (json) {
        return MakeJsonReporter();
    }
    return StandardOutputIsTerminal() ? MakeTerminalReporter() : MakePlainReporter();
}

} // namespace

int RunDownloadCommand(int argc, char** argv)
{
    const std::optional<DownloadOptions> options = ParseOptions(argc, argv);
    if (!options) {
        std::fputs(kUsage, stderr);
        return kExitUsage;
    }
    // Before any frame: a log that cannot take the first line is refused.
    StationLog log;
    if (!options->logFile.empty() && !log.Open(options->logFile)) {
        WriteErr(log.OpenError() + "\n");
        return kExitUsage;
    }
    const EventSystem events(argv[0]);
    if (const std::string repeated = RepeatedDevice(options->targets); !repeated.empty()) {
        std::fprintf(stderr, "tavexdl-cli download: %s names a device already given; each keyboard once\n%s",
                     TerminalSafe(repeated).c_str(), kUsage);
        return kExitUsage;
    }
    if (options->targets.size() > 1 || options->loop) {
        return RunParallelDownloads(*options, log);
    }
    const std::unique_ptr<IDownloadReporter> reporter = MakeReporter(options->json);
    SessionRun run(*options, options->targets.front(), *reporter, PlatformImageFiles::Sharing::Exclusive);

    // The first signal is the Cancel button, a second one closes the window.
    bool interrupted = false;
    ThreadLoop mainLoop;
    SignalRelay relay(mainLoop, [&] {
        if (!interrupted) {
            interrupted = true;
            run.Cancel();
        } else {
            run.Close();
        }
    });
    if (!relay.Working()) {
        return kExitInvalid;
    }
    const DownloadOutcome outcome = run.Run();
    reporter->End(outcome);
    log.Append(outcome);
    const int exitCode = ExitCodeFor(outcome.result);
    return exitCode == kExitValid && log.WriteFailed() ? kExitInvalid : exitCode;
}

} // namespace tavex
