// tavexdl-cli download started with some of its standard descriptors closed
// (`<&- >&-`, as a careless service or script starts it) downloads as usual:
// nothing the program opens later may stand in for stdin, stdout or stderr.

#include "download_rig.h"

#include <gtest/gtest.h>

namespace tavex {
namespace {

using test::ChildProcess;
using test::DownloadRig;

struct ClosedCase {
    const char* name;
    const char* redirections;  // as the shell closes them
};

void PrintTo(const ClosedCase& c, std::ostream* out) { *out << c.redirections; }

std::string Quote(const std::string& word)
{
    std::string quoted = "'";
    for (char c : word) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

class ClosedStandardDescriptors : public testing::TestWithParam<ClosedCase> {};

TEST_P(ClosedStandardDescriptors, DoNotDisturbTheDownload)
{
    DownloadRig rig({});
    const std::string image = rig.Sample("keyboard-small.s19");
    const std::string command = "exec " + Quote(TAVEXDL_CLI) + " download " + Quote(image) + " --device " +
                                Quote(rig.device) + " " + GetParam().redirections;
    ChildProcess cli("/bin/sh", {"-c", command});
    EXPECT_EQ(cli.Wait(30000), 0) << cli.Err();
    const std::string summary = rig.Summary();
    // No stray end-of-table before the PING: exactly one of each frame.
    EXPECT_NE(summary.find("frames: C0 1 T7 1 C1 1 S2 7 S8 1 unknown 0\n"), std::string::npos) << summary;
    EXPECT_NE(summary.find("blocks written: 7\n"), std::string::npos) << summary;
}

INSTANTIATE_TEST_SUITE_P(Descriptors, ClosedStandardDescriptors,
                         testing::Values(ClosedCase{"Stdin", "<&-"}, ClosedCase{"Stdout", ">&-"},
                                         ClosedCase{"Stderr", "2>&-"}, ClosedCase{"StdinAndStdout", "<&- >&-"},
                                         ClosedCase{"AllThree", "<&- >&- 2>&-"}),
                         [](const testing::TestParamInfo<ClosedCase>& info) { return info.param.name; });

} // namespace
} // namespace tavex
