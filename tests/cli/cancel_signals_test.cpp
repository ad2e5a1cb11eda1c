// SIGTERM and SIGHUP (the terminal window closed under a running download)
// cancel as Ctrl-C does: the keyboard gets its end-of-table after the pause
// and the program ends with 130, with one keyboard or several.

#include "download_rig.h"

#include <gtest/gtest.h>

#include <csignal>
#include <memory>

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
    bool signalled = false;
    for (std::string line = cli.ReadLine(10000); !line.empty(); line = cli.ReadLine(10000)) {
        if (!signalled && line.find("\"text\":\"Writing Block: 20\"") != std::string::npos) {
            cli.Signal(c.signal);
            signalled = true;
        }
    }
    ASSERT_TRUE(signalled) << cli.Err();
    EXPECT_EQ(cli.Wait(10000), 130) << cli.Err();
    for (const auto& rig : rigs) {
        const std::string summary = rig->Summary();
        EXPECT_NE(summary.find(" S8 1"), std::string::npos) << summary;
        EXPECT_EQ(summary.find("blocks written: 400"), std::string::npos) << summary;
    }
}

INSTANTIATE_TEST_SUITE_P(Signals, CancelSignal,
                         testing::Values(SignalCase{"TermToOneKeyboard", SIGTERM, 1},
                                         SignalCase{"HangupToOneKeyboard", SIGHUP, 1},
                                         SignalCase{"HangupToTwoKeyboards", SIGHUP, 2}),
                         [](const testing::TestParamInfo<SignalCase>& info) { return info.param.name; });

} // namespace
} // namespace tavex
