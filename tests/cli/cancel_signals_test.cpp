// SIGTERM and SIGHUP (the terminal window closed under a running download)
// cancel as Ctrl-C does: the keyboard gets its end-of-table after the pause
// and the program ends with 130, with one keyboard or several.

#include "download_rig.h"

#include <gtest/gtest.h>

#include <csignal>
#include <memory>
#include <set>
#include <string>
#include <unistd.h>

namespace tavex {
namespace {

using test::ChildProcess;
using test::DownloadRig;

struct SignalCase {
    const char* name;
    int signal;
    std::size_t keyboards;
};

void PrintTo(const SignalCase& c, std::ostream* out) { *out << c.name; }

// The "device" of a JSON event line, "" when it names none.
std::string DeviceOf(const std::string& line)
{
    const std::string key = "\"device\":\"";
    const std::size_t start = line.find(key);
    if (start == std::string::npos) {
        return "";
    }
    const std::size_t from = start + key.size();
    return line.substr(from, line.find('"', from) - from);
}

class CancelSignal : public testing::TestWithParam<SignalCase> {};

TEST_P(CancelSignal, SendsTheEndOfTableAndEndsWith130)
{
    const SignalCase& c = GetParam();
    std::vector<std::unique_ptr<DownloadRig>> rigs;
    for (std::size_t i = 0; i < c.keyboards; ++i) {
        rigs.push_back(std::make_unique<DownloadRig>(std::vector<std::string>{"--processing-ms", "5"}));
    }
    const std::string image = rigs.front()->scratch.Write("long.s19", test::BlockImage(400));
    std::vector<std::string> arguments = {"download", image, "--json"};
    for (const auto& rig : rigs) {
        arguments.insert(arguments.end(), {"--device", rig->device});
    }

    ChildProcess cli(TAVEXDL_CLI, arguments);
    // The signal comes once every keyboard is into its table: a keyboard
    // still being connected to, on a slow machine, would rightly get none.
    std::set<std::string> intoTheTable;  // devices; "" when one keyboard's events name none
    bool signalled = false;
    for (std::string line = cli.ReadLine(10000); !line.empty(); line = cli.ReadLine(10000)) {
        if (!signalled && line.find("\"text\":\"Writing Block: 20\"") != std::string::npos) {
            intoTheTable.insert(DeviceOf(line));
            if (intoTheTable.size() == c.keyboards) {
                cli.Signal(c.signal);
                signalled = true;
            }
        }
    }
    ASSERT_TRUE(signalled) << cli.Err();
    EXPECT_EQ(cli.Wait(10000), 130) << cli.RestOfOut() << cli.Err();
    for (const auto& rig : rigs) {
        const std::string summary = rig->Summary();
        EXPECT_NE(summary.find(" S8 1"), std::string::npos) << summary;
        EXPECT_EQ(summary.find("blocks written: 400"), std::string::npos) << summary;
    }
}

INSTANTIATE_TEST_SUITE_P(Signals, CancelSignal,
                         testing::Values(SignalCase{"TermToOneKeyboard", SIGTERM, 1},
                                         SignalCase{"HangupToOneKeyboard", SIGHUP, 1},
                                         SignalCase{"HangupToTwoKeyboards", SIGHUP, 2},
                                         // Four sessions at once, on two cores: a block's reply
                                         // often comes during the cancel's pause.
                                         SignalCase{"InterruptToFourKeyboards", SIGINT, 4}),
                         [](const testing::TestParamInfo<SignalCase>& info) { return info.param.name; });

struct LateReplyCase {
    const char* name;
    const char* image;  // a sample
};

void PrintTo(const LateReplyCase& c, std::ostream* out) { *out << c.name; }

class CancelWithAReplyOnItsWay : public testing::TestWithParam<LateReplyCase> {};

// The third block's "OK" comes during the cancel's pause, while nothing
// reads the port: it waits in the driver's queue. Dropped with everything
// else received before the end-of-table, it cannot run into that frame's own
// "OK" and turn the cancel into a time-out or an internal error.
TEST_P(CancelWithAReplyOnItsWay, IsReportedAsACancel)
{
    DownloadRig rig({"--fault", "S2#3:late=250"});
    const std::string image = rig.Sample(GetParam().image);
    ChildProcess cli(TAVEXDL_CLI, {"download", image, "--device", rig.device, "--json"});
    bool signalled = false;
    std::string out;
    for (std::string line = cli.ReadLine(10000); !line.empty(); line = cli.ReadLine(10000)) {
        out += line + "\n";
        if (!signalled && line.find("\"text\":\"Writing Block: 3\"") != std::string::npos) {
            cli.Signal(SIGINT);
            signalled = true;
        }
    }
    ASSERT_TRUE(signalled) << out << cli.Err();
    EXPECT_EQ(cli.Wait(10000), 130) << out << cli.Err();
    EXPECT_NE(out.find("\"event\":\"end\",\"ok\":false,\"result\":\"cancelled\""), std::string::npos) << out;
    EXPECT_EQ(out.find("\"event\":\"message\""), std::string::npos) << out;
    const std::string summary = rig.Summary();
    EXPECT_NE(summary.find(" S8 1"), std::string::npos) << summary;
}

INSTANTIATE_TEST_SUITE_P(Machines, CancelWithAReplyOnItsWay,
                         testing::Values(LateReplyCase{"S19", "keyboard-small.s19"},
                                         LateReplyCase{"S20", "keyboard-tables.s20"}),
                         [](const testing::TestParamInfo<LateReplyCase>& info) { return info.param.name; });

class CancelWhileWaiting : public testing::TestWithParam<SignalCase> {};

// A device awaited with --wait takes the signal too: the command ends at
// once, not when the wait runs out, with nothing sent.
TEST_P(CancelWhileWaiting, EndsTheWaitAt130WithoutAFrame)
{
    const SignalCase& c = GetParam();
    const test::ScratchDirectory scratch;
    const std::string image = scratch.Write("image.s19", test::BlockImage(4));
    std::vector<std::string> arguments = {"download", image, "--wait", "86400", "--json"};
    for (std::size_t i = 0; i < c.keyboards; ++i) {
        arguments.insert(arguments.end(), {"--device", scratch.Path() + "/never-" + std::to_string(i)});
    }
    ChildProcess cli(TAVEXDL_CLI, arguments);
    for (std::size_t waiting = 0; waiting < c.keyboards;) {  // each device says it waits
        const std::string line = cli.ReadLine(10000);
        ASSERT_FALSE(line.empty()) << "no waiting event: " << cli.Err();
        waiting += line.find("\"event\":\"waiting\",\"seconds\":86400") != std::string::npos ? 1 : 0;
    }
    ASSERT_TRUE(cli.Running());
    cli.Signal(c.signal);
    EXPECT_EQ(cli.Wait(10000), 130) << cli.Err();  // a hang is the fault; the wait was for a day
    const std::string out = cli.RestOfOut();
    EXPECT_NE(out.find("\"event\":\"end\",\"ok\":false,\"result\":\"cancelled\""), std::string::npos) << out;
    EXPECT_EQ(out.find("\"status\""), std::string::npos) << out;
}

INSTANTIATE_TEST_SUITE_P(Signals, CancelWhileWaiting,
                         testing::Values(SignalCase{"InterruptOneDevice", SIGINT, 1},
                                         SignalCase{"TermOneDevice", SIGTERM, 1},
                                         SignalCase{"InterruptTwoDevices", SIGINT, 2},
                                         SignalCase{"HangupTwoDevices", SIGHUP, 2}),
                         [](const testing::TestParamInfo<SignalCase>& info) { return info.param.name; });

} // namespace
} // namespace tavex
