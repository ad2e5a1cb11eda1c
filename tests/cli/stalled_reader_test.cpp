// A reader of stdout that stops reading (a full pipe nobody reads, a paused
// terminal) never holds up a keyboard: the download runs to its end as
// usual, a signal still cancels it at once, and what was kept of the output
// comes out once the reader reads again.

#include "download_rig.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

namespace tavex {
namespace {

using test::ChildProcess;
using test::DownloadRig;
using Clock = std::chrono::steady_clock;

struct StallCase {
    const char* name;
    std::size_t keyboards;
    std::vector<std::string> options;  // of the download: --json, --loop
    // Each keyboard's download ends with one line holding this.
    const char* endLine;
    int signal = 0;  // what cancels the download, for the cases that cancel
};

void PrintTo(const StallCase& c, std::ostream* out) { *out << c.name; }

// Keyboards that end once their host has closed the port: the summary of
// each comes while the program may still be waiting for its reader.
std::vector<std::unique_ptr<DownloadRig>> KeyboardsThatEndWithTheSession(std::size_t count)
{
    std::vector<std::unique_ptr<DownloadRig>> rigs;
    for (std::size_t i = 0; i < count; ++i) {
        rigs.push_back(std::make_unique<DownloadRig>(std::vector<std::string>{"--processing-ms", "5", "--once"}));
    }
    return rigs;
}

std::vector<std::string> Arguments(const std::string& image, const std::vector<std::unique_ptr<DownloadRig>>& rigs,
                                   const std::vector<std::string>& options)
{
    std::vector<std::string> arguments = {"download", image};
    for (const auto& rig : rigs) {
        arguments.insert(arguments.end(), {"--device", rig->device});
    }
    arguments.insert(arguments.end(), options.begin(), options.end());
    return arguments;
}

// Seconds until every keyboard's session is over, from `from`; a large
// figure when one is not over within `timeoutMs`.
double SecondsUntilEverySessionEnds(std::vector<std::unique_ptr<DownloadRig>>& rigs, Clock::time_point from,
                                    int timeoutMs)
{
    for (const auto& rig : rigs) {
        if (rig->keyboard.Wait(timeoutMs) != 0) {
            return 1e9;
        }
    }
    return std::chrono::duration<double>(Clock::now() - from).count();
}

// The lines of stdout to its end, once the reader reads again.
std::vector<std::string> ReadToTheEnd(ChildProcess& cli)
{
    std::vector<std::string> lines;
    for (std::string line = cli.ReadLine(10000); !line.empty(); line = cli.ReadLine(10000)) {
        lines.push_back(line);
    }
    return lines;
}

std::size_t LinesHolding(const std::vector<std::string>& lines, const std::string& text)
{
    return static_cast<std::size_t>(
        std::count_if(lines.begin(), lines.end(), [&](const std::string& line) { return line.find(text) != std::string::npos; }));
}

// The status of the twentieth block, as JSON and as a plain line.
bool SaysBlock20(const std::string& line)
{
    return line.ends_with("Writing Block: 20") || line.find("\"Writing Block: 20\"") != std::string::npos;
}

std::string Joined(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines) {
        text += line + "\n";
    }
    return text;
}

class StalledReader : public testing::TestWithParam<StallCase> {};

// Nobody reads from the start: every write to stdout would block. The
// keyboards get the whole image and their sessions end while the output still
// waits; the program then waits for its reader, so that nothing kept is lost.
TEST_P(StalledReader, TheDownloadRunsToItsEndWhileNobodyReads)
{
    const StallCase& c = GetParam();
    auto rigs = KeyboardsThatEndWithTheSession(c.keyboards);
    const std::string image = rigs.front()->scratch.Write("image.s19", test::BlockImage(200));

    const Clock::time_point started = Clock::now();
    ChildProcess cli(TAVEXDL_CLI, Arguments(image, rigs, c.options), test::OutPipe::Stallable);
    cli.StallOut();
    const double seconds = SecondsUntilEverySessionEnds(rigs, started, 30000);
    ASSERT_LT(seconds, 30.0) << "a keyboard's session did not end while nobody read";
    EXPECT_TRUE(cli.Running()) << "the program ended with its output unread";

    const std::vector<std::string> lines = ReadToTheEnd(cli);
    EXPECT_EQ(cli.Wait(10000), 0) << cli.Err();
    EXPECT_EQ(LinesHolding(lines, c.endLine), c.keyboards) << Joined(lines);
    const std::string digest = test::DigestLine(test::ExpectedFlash(image, FileKind::S19, 1));
    for (const auto& rig : rigs) {
        const std::string summary = rig->keyboard.RestOfOut();
        EXPECT_NE(summary.find(digest), std::string::npos) << summary;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Outputs, StalledReader,
    testing::Values(StallCase{"OneKeyboardJson", 1, {"--json"}, "\"event\":\"end\",\"ok\":true,\"result\":\"ok\""},
                    StallCase{"OneKeyboardPlain", 1, {}, "Wrote \""},
                    StallCase{"TwoKeyboardsJson", 2, {"--json"}, "\"event\":\"end\",\"ok\":true,\"result\":\"ok\""},
                    StallCase{"TwoKeyboardsPlain", 2, {}, "(good 1, failed 0, cancelled 0)"}),
    [](const testing::TestParamInfo<StallCase>& info) { return info.param.name; });

class SignalToAStalledReader : public testing::TestWithParam<StallCase> {};

// The reader stops once every keyboard is into its table; the signal then
// cancels as ever: each keyboard gets its end-of-table after the half-second
// pause, well within a second, and the end shows once the reader reads on.
TEST_P(SignalToAStalledReader, CancelsAtOnceAndTheEndComesOnceTheReaderReads)
{
    const StallCase& c = GetParam();
    auto rigs = KeyboardsThatEndWithTheSession(c.keyboards);
    const std::string image = rigs.front()->scratch.Write("long.s19", test::BlockImage(400));

    ChildProcess cli(TAVEXDL_CLI, Arguments(image, rigs, c.options), test::OutPipe::Stallable);
    std::vector<std::string> lines;
    std::size_t intoTheTable = 0;
    while (intoTheTable < c.keyboards) {
        lines.push_back(cli.ReadLine(10000));
        if (lines.back().empty()) {
            break;
        }
        intoTheTable += SaysBlock20(lines.back()) ? 1 : 0;
    }
    ASSERT_EQ(intoTheTable, c.keyboards) << Joined(lines) << cli.Err();
    cli.StallOut();
    // Its next block's status is a few milliseconds away: by now a program
    // that writes on the session's thread would be stuck in that write.
    ::usleep(300'000);
    const Clock::time_point signalled = Clock::now();
    cli.Signal(c.signal);
    const double seconds = SecondsUntilEverySessionEnds(rigs, signalled, 20000);
    EXPECT_LT(seconds, 1.0) << "the keyboards' sessions ended " << seconds << " s after the signal";
    for (const auto& rig : rigs) {
        const std::string summary = rig->keyboard.RestOfOut();
        EXPECT_NE(summary.find(" S8 1"), std::string::npos) << summary;
        EXPECT_EQ(summary.find("blocks written: 400"), std::string::npos) << summary;
    }

    const std::vector<std::string> rest = ReadToTheEnd(cli);
    EXPECT_EQ(cli.Wait(10000), 130) << cli.Err();
    EXPECT_EQ(LinesHolding(rest, c.endLine), c.keyboards) << Joined(rest);
}

constexpr const char* kCancelledEvent = "\"event\":\"end\",\"ok\":false,\"result\":\"cancelled\"";
constexpr const char* kCancelledRow = "(good 0, failed 0, cancelled 1)";

INSTANTIATE_TEST_SUITE_P(
    Signals, SignalToAStalledReader,
    testing::Values(StallCase{"TermOneKeyboardJson", 1, {"--json"}, kCancelledEvent, SIGTERM},
                    StallCase{"TermOneKeyboardPlain", 1, {}, "Cancelled \"", SIGTERM},
                    StallCase{"InterruptOneKeyboardJson", 1, {"--json"}, kCancelledEvent, SIGINT},
                    StallCase{"TermTwoKeyboardsJson", 2, {"--json"}, kCancelledEvent, SIGTERM},
                    StallCase{"InterruptTwoKeyboardsPlain", 2, {}, kCancelledRow, SIGINT},
                    StallCase{"TermStationLoopPlain", 1, {"--loop"}, kCancelledRow, SIGTERM}),
    [](const testing::TestParamInfo<StallCase>& info) { return info.param.name; });

} // namespace
} // namespace tavex
