// tavexdl-kbsim: a simulated keyboard on a pseudo-terminal, for trying a
// download without a keyboard.

#include "sim/kbsim_options.h"
#include "sim/pty_server.h"
#include "sim/sim_summary.h"
#include "sim/writable_path.h"

#include <array>
#include <cstdio>
#include <fstream>
#include <stdexcept>
#include <vector>
#include <sys/prctl.h>

namespace {

constexpr int kExitDone = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

struct EndName {
    tavex::ServeEnd end;
    const char* name;
};

constexpr std::array<EndName, 4> kEndNames = {{
    {tavex::ServeEnd::Stopped, "stopped"},
    {tavex::ServeEnd::SessionOver, "session over"},
    {tavex::ServeEnd::Vanished, "vanished"},
    {tavex::ServeEnd::Failed, "line failed"},
}};

const char* NameOf(tavex::ServeEnd end)
{
    for (const EndName& entry : kEndNames) {
        if (entry.end == end) {
            return entry.name;
        }
    }
    return "?";
}

bool WriteFlash(const tavex::SimulatedFlash& flash, const std::string& path)
{
    std::ofstream file(path);
    flash.WriteListing(file);
    file.close();
    return static_cast<bool>(file);
}

// Asked before the device is offered: a host must not download into a
// simulator that would fail to keep the result.
bool CanWriteFlash(const std::string& path)
{
    const std::string reason = tavex::WhyNotWritable(path);
    if (!reason.empty()) {
        std::fprintf(stderr, "tavexdl-kbsim: cannot write %s: %s\n", path.c_str(), reason.c_str());
    }
    return reason.empty();
}

int Serve(const tavex::KbsimOptions& options)
{
    if (options.flashOut && !CanWriteFlash(*options.flashOut)) {
        return kExitFailed;
    }
    tavex::StopSignal stop;
    tavex::PtyMaster master;
    tavex::KeyboardModel model(options.keyboard);
    // The device path comes first and at once: whoever started us waits for it.
    std::printf("%s\n", master.SlavePath().c_str());
    std::fflush(stdout);

    tavex::PtyServer server(master, model, stop, options.once);
    const tavex::ServeEnd end = server.Run();
    std::printf("end: %s\n%s", NameOf(end),
                tavex::SummaryText(model.Statistics(), server.RepliesDropped(), model.Flash()).c_str());
    std::fflush(stdout);
    if (options.flashOut && !WriteFlash(model.Flash(), *options.flashOut)) {
        std::fprintf(stderr, "tavexdl-kbsim: cannot write %s\n", options.flashOut->c_str());
        return kExitFailed;
    }
    return end == tavex::ServeEnd::Failed ? kExitFailed : kExitDone;
}

} // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string_view> arguments(argv + 1, argv + argc);
    const tavex::ParsedKbsimOptions parsed = tavex::ParseKbsimOptions(arguments);
    if (!parsed.options) {
        std::fprintf(stderr, "tavexdl-kbsim: %s\n\n%s", parsed.error.c_str(), tavex::kKbsimUsage);
        return kExitUsage;
    }
    if (parsed.options->help) {
        std::fputs(tavex::kKbsimUsage, stdout);
        return kExitDone;
    }
    // The default timer slack of 50 us would make every paced byte late.
    ::prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
    try {
        return Serve(*parsed.options);
    } catch (const std::runtime_error& error) {
        std::fprintf(stderr, "tavexdl-kbsim: %s\n", error.what());
        return kExitFailed;
    }
}
