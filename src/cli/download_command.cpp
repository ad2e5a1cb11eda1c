#include "cli/download_command.h"

#include "cli/cli_control_host.h"
#include "cli/cli_session_host.h"
#include "cli/device_wait.h"
#include "cli/download_target.h"
#include "cli/parallel_download.h"
#include "cli/exit_codes.h"
#include "cli/signal_relay.h"
#include "platform/posix_image_file.h"

#include <QCoreApplication>

#include <charconv>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <unistd.h>

namespace tavex {

namespace {

constexpr int kExitInterrupted = 130;

std::optional<int> ParseSeconds(std::string_view text)
{
    int seconds = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), seconds);
    if (error != std::errc() || end != text.data() + text.size() || seconds < 0 || seconds > 86400) {
        return std::nullopt;
    }
    return seconds;
}

std::optional<int> ParseComNumber(std::string_view text)
{
    int number = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (error != std::errc() || end != text.data() + text.size() || number < 1 || number > 16) {
        return std::nullopt;
    }
    return number;
}

// "--com 1,3,5": the COM numbers, each from 1 to 16.
bool ParseComList(std::string_view text, std::vector<DownloadTarget>& targets)
{
    while (true) {
        const std::size_t comma = text.find(',');
        const std::optional<int> number = ParseComNumber(text.substr(0, comma));
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
            options.targets.push_back({argv[++i], 0});
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
            const std::optional<int> seconds = ParseSeconds(argv[++i]);
            if (!seconds) {
                std::fputs("tavexdl-cli download: --wait takes a number of seconds\n", stderr);
                return std::nullopt;
            }
            options.waitSeconds = *seconds;
        } else if (!argument.starts_with("--") && !haveFile) {
            options.file = std::string(argument);
            haveFile = true;
        } else {
            std::fprintf(stderr, "tavexdl-cli download: unexpected argument '%s'\n", argv[i]);
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
    return ::isatty(STDOUT_FILENO) ? MakeTerminalReporter() : MakePlainReporter();
}

} // namespace

int RunDownloadCommand(int argc, char** argv)
{
    const std::optional<DownloadOptions> options = ParseOptions(argc, argv);
    if (!options) {
        std::fputs("usage: tavexdl-cli download FILE (--device PATH | --com N)... [--wait SECONDS] [--loop] "
                   "[--log FILE] [--json] [--trace]\n",
                   stderr);
        return kExitUsage;
    }
    int qtArgc = 1;
    QCoreApplication application(qtArgc, argv);
    if (options->targets.size() > 1 || options->loop) {
        return RunParallelDownloads(*options);
    }
    const DownloadTarget& target = options->targets.front();
    const std::unique_ptr<IDownloadReporter> reporter = MakeReporter(options->json);
    if (options->waitSeconds > 0 && !WaitForDevice(target.DevicePath(), options->waitSeconds)) {
        reporter->Message(DeviceNeverCameMessage(target.DevicePath(), options->waitSeconds));
        reporter->End(false);
        return kExitInvalid;
    }
    CliSessionHost host(*reporter, options->file, target.comNumber > 0 ? target.comNumber - 1 : 0,
                        [] { QCoreApplication::exit(0); });
    CliControlHost controls(target, options->trace);
    PosixImageFiles files;
    DownloadSession session(host, controls, files);
    host.Attach(session);

    // The first signal is the Cancel button, a second one closes the window.
    bool interrupted = false;
    SignalRelay relay([&] {
        if (!interrupted) {
            interrupted = true;
            session.OnOK();
        } else {
            session.EndSession(5005);
        }
    });

    session.OnInitSession();
    if (!session.IsClosed()) {
        session.OnDownload();
        if (session.State() != bpStateNONE) {
            QCoreApplication::exec();
        }
    }
    const bool silent = host.MessagesShown() == 0;
    reporter->End(silent);
    if (!silent) {
        return kExitInvalid;
    }
    return interrupted ? kExitInterrupted : kExitValid;
}

} // namespace tavex
