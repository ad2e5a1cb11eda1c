// tavexdl-cli download, run as a process against tavexdl-kbsim on a
// pseudo-terminal.

#include "download_rig.h"
#include "kbsim_process.h"
#include "support/child_process.h"
#include "support/scratch_directory.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fstream>
#include <sstream>

namespace tavex {
namespace {

using test::ChildProcess;
using test::DigestLine;
using test::ExpectedFlash;

using Rig = test::DownloadRig;

TEST(DownloadCli, WritesAnS19ImageAndTheFlashHoldsExactlyIt)
{
    Rig rig({});
    const std::string image = rig.Sample("keyboard-small.s19");
    EXPECT_EQ(rig.Download(image), 0) << rig.err;
    EXPECT_TRUE(rig.EndsWith("{\"event\":\"end\",\"ok\":true,\"result\":\"ok\",\"reason\":null,\"blocks\":7,\"bytes\":")) << rig.events.back();
    EXPECT_TRUE(rig.Saw("{\"event\":\"status\",\"text\":\"Sending PING...  at 19200 Baudrate \"}"));
    EXPECT_TRUE(rig.Saw("{\"event\":\"progress\",\"percent\":100}"));
    EXPECT_NE(rig.Summary().find(DigestLine(ExpectedFlash(image, FileKind::S19, 1))), std::string::npos);
}

TEST(DownloadCli, TheSamplesLeaveTheFlashWrittenDownForThem)
{
    for (const test::WrittenDownFlash& flash : test::kWrittenDownFlashes) {
        SCOPED_TRACE(flash.listing);
        test::ScratchDirectory listings;
        const std::string listing = listings.Path() + "/flash.txt";
        Rig rig({"--hardware", std::to_string(flash.hardware), "--flash-out", listing});
        EXPECT_EQ(rig.Download(rig.Sample(flash.sample)), 0) << rig.err;
        rig.Summary();
        EXPECT_EQ(test::Slurp(listing), test::WrittenDownListing(flash));
    }
}

TEST(DownloadCli, TracesEveryFrameAndReplyInHexadecimal)
{
    Rig rig({"--hardware", "0"});
    EXPECT_EQ(rig.Download(rig.Sample("keyboard-small.s19"), {"--trace"}), 0) << rig.err;
    for (const char* traced : {" sent     43 30 01 FE\n", " received 4E 6F 72 77 69 63 6B", " sent     54 37 01 FE\n",
                               " received 4F 4B\n", " sent     53 38 04 FF FF FF FE\n"}) {
        EXPECT_NE(rig.err.find(traced), std::string::npos) << traced << " in\n" << rig.err;
    }
}

TEST(DownloadCli, WritesOnlyWhatAnS20ImageSendsForTheKeyboardsVersion)
{
    Rig rig({"--hardware", "2"});
    const std::string image = rig.Sample("keyboard-tables.s20");
    EXPECT_EQ(rig.Download(image), 0) << rig.err;
    const std::string summary = rig.Summary();
    EXPECT_NE(summary.find(DigestLine(ExpectedFlash(image, FileKind::S20, 2))), std::string::npos) << summary;
    EXPECT_EQ(summary.find(DigestLine(ExpectedFlash(image, FileKind::S20, 1))), std::string::npos);
}

TEST(DownloadCli, FallsBackTo57600ForAKeyboardThatAnswersOnlyThere)
{
    Rig rig({"--only-baud", "57600"});
    EXPECT_EQ(rig.Download(rig.Sample("keyboard-small.s19")), 0) << rig.err;
    EXPECT_TRUE(rig.Saw("{\"event\":\"status\",\"text\":\"Sending PING...  at  57600 Baudrate \"}"));
    EXPECT_NE(rig.Summary().find("blocks written: 7"), std::string::npos);
}

TEST(DownloadCli, ReportsASilentKeyboardAfterBothSpeeds)
{
    Rig rig({"--fault", "C0:silent"});
    EXPECT_EQ(rig.Download(rig.Sample("keyboard-small.s19")), 1);
    ASSERT_GE(rig.events.size(), 3U);
    EXPECT_EQ(rig.events[rig.events.size() - 3].rfind(
                  "{\"event\":\"message\",\"text\":\"Error: Communication could not be established.\\n\\n", 0),
              0U)
        << rig.events[rig.events.size() - 3];
    EXPECT_EQ(rig.events[rig.events.size() - 2], "{\"event\":\"status\",\"text\":\"OFF-LINE\"}");
    EXPECT_TRUE(rig.EndsWith("{\"event\":\"end\",\"ok\":false,\"result\":\"failed\",")) << rig.events.back();
}

TEST(DownloadCli, ReportsACommunicationError)
{
    Rig rig({"--fault", "S2#3:ce"});
    EXPECT_EQ(rig.Download(rig.Sample("keyboard-small.s19")), 1);
    EXPECT_TRUE(rig.Saw("{\"event\":\"message\",\"text\":\"A communication error occurred.\"}"));
    EXPECT_NE(rig.Summary().find("blocks written: 2"), std::string::npos);
}

TEST(DownloadCli, AnInterruptCancelsWithTheEndOfTableAndIsReportedAsCancelled)
{
    test::ScratchDirectory scratch;
    const std::string image = scratch.Write("long.s19", test::BlockImage(400));

    Rig rig({"--processing-ms", "5"});
    ChildProcess cli(TAVEXDL_CLI, {"download", image, "--device", rig.device, "--json"});
    for (std::string line = cli.ReadLine(10000); !line.empty(); line = cli.ReadLine(10000)) {
        rig.events.push_back(line);
        if (line == "{\"event\":\"status\",\"text\":\"Writing Block: 20\"}") {
            cli.Signal(SIGINT);
        }
    }
    EXPECT_EQ(cli.Wait(10000), 130) << cli.Err();
    EXPECT_TRUE(rig.EndsWith("{\"event\":\"end\",\"ok\":false,\"result\":\"cancelled\",\"reason\":null,\"blocks\":2"))
        << rig.events.back();
    EXPECT_EQ(rig.events[rig.events.size() - 3], "{\"event\":\"status\",\"text\":\"OFF-LINE\"}");
    const std::string summary = rig.Summary();
    EXPECT_NE(summary.find("S8 1"), std::string::npos) << summary;
    EXPECT_EQ(summary.find("blocks written: 400"), std::string::npos) << summary;
}

TEST(DownloadCli, MakesTheFileChecksFirstAndRefusesBadUsage)
{
    Rig rig({});
    EXPECT_EQ(rig.Download("/nowhere/Missing.S19"), 1);
    ASSERT_EQ(rig.events.size(), 3U);
    EXPECT_EQ(rig.events[0], "{\"event\":\"status\",\"text\":\"OFF-LINE\"}");
    EXPECT_EQ(rig.events[1], "{\"event\":\"message\",\"text\":\"Error: The file \\\"/nowhere/Missing.S19\\\" could "
                             "not be found.\",\"detail\":\"/nowhere/Missing.S19: No such file or directory\","
                             "\"reason\":\"not-found\"}");
    EXPECT_TRUE(rig.EndsWith("{\"event\":\"end\",\"ok\":false,\"result\":\"failed\",\"reason\":\"not-found\",\"blocks\":0,\"bytes\":0,"
                             "\"hardware\":null,\"seconds\":"))
        << rig.events.back();

    for (const std::vector<std::string>& arguments : std::vector<std::vector<std::string>>{
             {"download"}, {"download", "a.s19"}, {"download", "a.s19", "--com", "17"},
             {"download", "a.s19", "--com", "1", "--wait", "soon"}, {"download", "a.s19", "--com", "1,0"}, {"download", "a.s19", "--fast"}}) {
        ChildProcess cli(TAVEXDL_CLI, arguments);
        EXPECT_EQ(cli.Wait(10000), 2) << testing::PrintToString(arguments);
        EXPECT_NE(cli.Err().find("usage: tavexdl-cli download FILE"), std::string::npos);
    }
    EXPECT_NE(rig.Summary().find("frames: C0 0"), std::string::npos);
}

} // namespace
} // namespace tavex
