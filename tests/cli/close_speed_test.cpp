// The last frame of a cancelled download reaches the keyboard at the speed
// of the session: closing the port restores the device's earlier settings,
// which must not happen while that frame is still on its way.

#include "download_rig.h"

#include <gtest/gtest.h>

#include <csignal>

namespace tavex {
namespace {

using test::ChildProcess;
using test::KbsimProcess;

// The keyboard hears only 19200 baud and answers at the pace of the line, as
// a real one does; a frame that reaches it at another speed is line noise,
// counted in its summary. The pseudo-terminal starts at another speed, which
// the download's close puts back.
TEST(CloseSpeed, TheEndOfTableOfAnInterruptedDownloadArrivesAtTheSessionsSpeed)
{
    const test::ScratchDirectory scratch;
    const std::string image = scratch.Write("long.s19", test::BlockImage(400));  // an interrupt lands inside
    // Each round is a new race between the close and the keyboard reading
    // the frame; a few of them make a lost race show.
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE(round);
        KbsimProcess keyboard({"--only-baud", "19200", "--pace-baud", "19200"});
        const std::string device = keyboard.ReadLine(5000);
        ChildProcess cli(TAVEXDL_CLI, {"download", image, "--device", device, "--json"});
        bool interrupted = false;
        for (std::string line = cli.ReadLine(10000); !line.empty(); line = cli.ReadLine(10000)) {
            if (line == "{\"event\":\"status\",\"text\":\"Writing Block: 20\"}") {
                cli.Signal(SIGINT);
                interrupted = true;
            }
        }
        ASSERT_TRUE(interrupted);
        EXPECT_EQ(cli.Wait(10000), 130) << cli.Err();

        keyboard.Signal(SIGTERM);
        keyboard.Wait(5000);
        const std::string summary = keyboard.RestOfOut();
        EXPECT_NE(summary.find(" S8 1"), std::string::npos) << summary;
        EXPECT_NE(summary.find("wrong-baud frames: 0\n"), std::string::npos) << summary;
        EXPECT_EQ(summary.find("blocks written: 400\n"), std::string::npos) << summary;
    }
}

} // namespace
} // namespace tavex
