#include "cli/download/download_command.h"

#include "cli/download/download_arguments.h"
#include "cli/exit_codes.h"
#include "cli/host/event_system.h"
#include "cli/host/signal_relay.h"
#include "cli/host/standard_descriptors.h"
#include "cli/host/thread_loop.h"
#include "cli/output/console_output.h"
#include "cli/output/download_reporter.h"
#include "cli/station/one_device_view.h"
#include "cli/station/parallel_board.h"
#include "cli/station/station.h"
#include "cli/station/station_log.h"

#include <cstdio>
#include <memory>
#include <optional>
#include <string>

namespace tavex {

namespace {

std::unique_ptr<IDownloadReporter> MakeReporter(bool json)
{
    if (json) {
        return MakeJsonReporter();
    }
    return StandardOutputIsTerminal() ? MakeTerminalReporter() : MakePlainReporter();
}

BoardStyle BoardStyleFor(bool json)
{
    if (json) {
        return BoardStyle::Json;
    }
    return StandardOutputIsTerminal() ? BoardStyle::Table : BoardStyle::Lines;
}

// One keyboard's download reads as its session tells it; several, or one
// after another, as a board with a row a device.
struct StationOutput {
    std::unique_ptr<IDownloadReporter> reporter;
    std::unique_ptr<IStationView> view;
};

StationOutput OutputFor(const DownloadOptions& options)
{
    StationOutput output;
    if (options.targets.size() == 1 && !options.loop) {
        output.reporter = MakeReporter(options.json);
        output.view = std::make_unique<OneDeviceView>(*output.reporter, options.targets.front().Label());
        return output;
    }
    std::vector<std::string> devices;
    for (const DownloadTarget& target : options.targets) {
        devices.push_back(target.Label());
    }
    output.view = std::make_unique<ParallelBoard>(std::move(devices), BoardStyleFor(options.json));
    return output;
}

} // namespace

int RunDownloadCommand(char* programPath, std::span<const std::string_view> arguments)
{
    const std::optional<DownloadOptions> options = ParseDownloadArguments(arguments);
    if (!options) {
        std::fputs(DownloadUsage(), stderr);
        return kExitUsage;
    }
    // After every usage check, so that a usage error leaves no file behind;
    // before any frame, so that a log that cannot take the first line is
    // refused before a keyboard is touched.
    StationLog log;
    if (!options->logFile.empty() && !log.Open(options->logFile)) {
        WriteErr(log.OpenError() + "\n");
        return kExitUsage;
    }
    const EventSystem events(programPath);
    const StationOutput output = OutputFor(*options);
    ThreadLoop mainLoop;
    Station station(*options, *output.view, log, mainLoop);

    // The first signal is the Cancel button, a second one closes the window.
    bool interrupted = false;
    const SignalRelay relay(mainLoop, [&] {
        station.Stop(interrupted);
        interrupted = true;
    });
    if (!relay.Failure().empty()) {
        WriteErr("tavexdl-cli: " + relay.Failure() + "; nothing was sent\n");
        return kExitFailed;
    }
    return station.Run();
}

} // namespace tavex
