#include "cli/download_command.h"

#include "cli/cli_session_host.h"
#include "cli/exit_codes.h"
#include "cli/signal_relay.h"
#include "cli/tracing_comm_control.h"
#include "platform/posix_image_file.h"
#include "serial/qt/qt_comm_control.h"

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

struct DownloadOptions {
    std::string file;
    std::string device;  // empty: the COM number's device
    int comNumber = 0;   // 1 to 16 with --com
    bool json = false;
    bool trace = false;
};

std::optional<int> ParseComNumber(std::string_view text)
{
    int number = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (error != std::errc() || end != text.data() + text.size() || number < 1 || number > 16) {
        return std::nullopt;
    }
    return number;
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
        } else if (argument == "--device" && hasValue && options.device.empty() && options.comNumber == 0) {
            options.device = argv[++i];
        } else if (argument == "--com" && hasValue && options.device.empty() && options.comNumber == 0) {
            const std::optional<int> number = ParseComNumber(argv[++i]);
            if (!number) {
                std::fputs("tavexdl-cli download: --com takes a port number from 1 to 16\n", stderr);
                return std::nullopt;
            }
            options.comNumber = *number;
        } else if (!argument.starts_with("--") && !haveFile) {
            options.file = std::string(argument);
            haveFile = true;
        } else {
            std::fprintf(stderr, "tavexdl-cli download: unexpected argument '%s'\n", argv[i]);
            return std::nullopt;
        }
    }
    if (!haveFile || (options.device.empty() && options.comNumber == 0)) {
        std::fputs("tavexdl-cli download: give an image file and --device PATH or --com N\n", stderr);
        return std::nullopt;
    }
    return options;
}

// Makes the comm control on the device the options name.
class CliControlHost final : public ICommControlHost {
public:
    explicit CliControlHost(const DownloadOptions& options) : options_(options) {}
    bool CreateEventReceiver() override { return QCoreApplication::instance() != nullptr; }
    std::unique_ptr<ICommControl> CreateControl() override
    {
        std::unique_ptr<ICommControl> control =
            options_.device.empty() ? std::make_unique<QtCommControl>()
                                    : std::make_unique<QtCommControl>(QString::fromStdString(options_.device));
        if (options_.trace) {
            return std::make_unique<TracingCommControl>(std::move(control));
        }
        return control;
    }

private:
    const DownloadOptions& options_;
};

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
        std::fputs("usage: tavexdl-cli download FILE (--device PATH | --com N) [--json] [--trace]\n", stderr);
        return kExitUsage;
    }
    int qtArgc = 1;
    QCoreApplication application(qtArgc, argv);
    const std::unique_ptr<IDownloadReporter> reporter = MakeReporter(options->json);
    CliSessionHost host(*reporter, options->file, options->comNumber > 0 ? options->comNumber - 1 : 0);
    CliControlHost controls(*options);
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
