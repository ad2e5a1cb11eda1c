// tavexdl-cli download as a hostile operator would try it: an image rewritten
// during the transfer, a faulty line late in the image, a log that cannot be
// written, output that goes away. The keyboard comes out whole or untouched,
// and the end is reported as what it was.

#include "download_rig.h"
#include "image/sha256.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <regex>

namespace tavex {
namespace {

using test::ChildProcess;
using test::DigestLine;
using test::DownloadRig;
using test::ExpectedFlash;
using test::Slurp;

TEST(WholeImage, AnImageRewrittenDuringTheDownloadIsWrittenAsItWasAtTheStart)
{
    // Larger than the 64 KiB a file read takes at once, so that a reader of
    // the file itself would come back to it after the rewrite.
    DownloadRig rig({"--processing-ms", "1"});
    const std::string image = rig.scratch.Write("firmware.s19", test::BlockImage(4000, 1));
    const SimulatedFlash original = ExpectedFlash(image, FileKind::S19, 1);
    ChildProcess cli(TAVEXDL_CLI, {"download", image, "--device", rig.device, "--json"});
    for (std::string line = cli.ReadLine(30000); !line.empty(); line = cli.ReadLine(30000)) {
        if (line == "{\"event\":\"status\",\"text\":\"Writing Block: 20\"}") {
            std::ofstream(image, std::ios::binary | std::ios::trunc) << test::BlockImage(4000, 101);  // cp new.s19 firmware.s19
        }
    }
    EXPECT_EQ(cli.Wait(30000), 0) << cli.Err();
    ASSERT_NE(DigestLine(ExpectedFlash(image, FileKind::S19, 1)), DigestLine(original)) << "the image was not rewritten";
    const std::string summary = rig.Summary();
    EXPECT_NE(summary.find(DigestLine(original)), std::string::npos) << summary;
}

TEST(WholeImage, AFaultyLineLateInTheImageEndsTheDownloadBeforeAnyRecordFrame)
{
    DownloadRig rig({});
    std::string text = test::BlockImage(40);
    text.replace(text.find("\r\n", text.size() * 3 / 4) - 2, 2, "00");  // a wrong checksum on line 31
    const std::string image = rig.scratch.Write("late.s19", text);
    EXPECT_EQ(rig.Download(image), 1);
    std::string quoted = image;  // messages quote the name lower-cased
    std::transform(quoted.begin(), quoted.end(), quoted.begin(), [](unsigned char c) { return std::tolower(c); });
    ASSERT_GE(rig.events.size(), 3U);
    EXPECT_EQ(rig.events[rig.events.size() - 3],
              "{\"event\":\"message\",\"text\":\"Error: Invalid checksum (222) on line 31 of \\\"" + quoted +
                  "\\\".\"}");
    const std::string summary = rig.Summary();
    EXPECT_NE(summary.find("frames: C0 1 T7 1 C1 0 S2 0 S8 0"), std::string::npos) << summary;
}

TEST(ClosingLine, AGoodDownloadSaysWhatItWroteWhereAndAFailedOneEndsWithItsMessage)
{
    DownloadRig rig({"--hardware", "0"});
    const std::string image = rig.Sample("keyboard-small.s19");
    ChildProcess good(TAVEXDL_CLI, {"download", image, "--device", rig.device});
    EXPECT_EQ(good.Wait(30000), 0);
    const std::string out = good.RestOfOut();
    const std::regex closing("Wrote \"" + image + "\" to " + rig.device +
                             R"(: hardware 0, 7 blocks, 101 data bytes in [0-9]+\.[0-9] s\.\n$)");
    EXPECT_TRUE(std::regex_search(out, closing)) << out;

    ChildProcess failed(TAVEXDL_CLI, {"download", "/nowhere/x.s19", "--device", rig.device});
    EXPECT_EQ(failed.Wait(30000), 1);
    EXPECT_EQ(failed.RestOfOut().find("Wrote"), std::string::npos);
    EXPECT_EQ(failed.Err(),
              "Error: The file \"/nowhere/x.s19\" could not be found. (/nowhere/x.s19: No such file or directory)\n");
}

constexpr const char* kHeader = "time,device,image,hardware,result,message,image_sha256,blocks,bytes,seconds\n";

std::string SampleSha256()
{
    const std::string sample = Slurp(std::string(TAVEX_EXAMPLES) + "/keyboard-small.s19");
    return Sha256Hex({reinterpret_cast<const std::uint8_t*>(sample.data()), sample.size()});
}

struct LogCase {
    const char* name;
    std::string log;  // a file name in the scratch directory, or an absolute path
    int exitCode;
    std::string err;         // what stderr must hold
    std::string keyboardGot;  // what the simulator's summary must hold
};

void PrintTo(const LogCase& c, std::ostream* out) { *out << c.name; }

class StationLogOfOneDevice : public testing::TestWithParam<LogCase> {};

TEST_P(StationLogOfOneDevice, IsWrittenOrRefusedOrReportedButNeverLostSilently)
{
    const LogCase& c = GetParam();
    DownloadRig rig({});
    const std::string log = c.log.front() == '/' ? c.log : rig.scratch.Path() + "/" + c.log;
    EXPECT_EQ(rig.Download(rig.Sample("keyboard-small.s19"), {"--log", log}), c.exitCode);
    EXPECT_NE(rig.err.find(c.err), std::string::npos) << rig.err;
    if (c.exitCode == 0) {
        const std::regex entry(std::string("^") + kHeader + R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d,")" + rig.device +
                               R"(","[^"]*keyboard-small\.s19",1,ok,"",)" + SampleSha256() +
                               R"(,7,101,\d+\.\d{3}\n$)");
        EXPECT_TRUE(std::regex_match(Slurp(log), entry)) << Slurp(log);
    }
    const std::string summary = rig.Summary();
    EXPECT_NE(summary.find(c.keyboardGot), std::string::npos) << summary;
}

INSTANTIATE_TEST_SUITE_P(
    Logs, StationLogOfOneDevice,
    testing::Values(LogCase{"Written", "downloads.csv", 0, "", "blocks written: 7"},
                    LogCase{"Unopenable", "missing-folder/downloads.csv", 2,
                            "/missing-folder/downloads.csv\" could not be opened: No such file or directory\n",
                            "frames: C0 0"},
                    LogCase{"DiskFull", "/dev/full", 1,
                            "the log \"/dev/full\" could not be written: No space left on device\n",
                            "blocks written: 7"}),
    [](const testing::TestParamInfo<LogCase>& info) { return info.param.name; });

// The header goes into a new or empty log only: a second run appends its
// line alone, and an older log without a header keeps its shape.
TEST(StationLog, HasOneHeaderAndLeavesAnOlderLogsShapeAlone)
{
    DownloadRig rig({});
    const std::string image = rig.Sample("keyboard-small.s19");
    const std::string log = rig.scratch.Write("new.csv", "");
    const std::string older = rig.scratch.Write("older.csv", "2024-01-02T03:04:05,\"/dev/ttyUSB0\",\"a.s19\",1,ok,\"\"\n");
    for (const std::string& target : {log, log, older}) {
        ASSERT_EQ(rig.Download(image, {"--log", target}), 0) << rig.err;
    }
    const std::string entry = ",\"" + rig.device + "\",\"" + image + "\",1,ok,\"\"," + SampleSha256() + ",7,101,";
    const std::string written = Slurp(log);
    EXPECT_EQ(written.rfind(kHeader, 0), 0U) << written;
    EXPECT_EQ(written.find(kHeader, 1), std::string::npos) << written;
    EXPECT_EQ(std::count(written.begin(), written.end(), '\n'), 3) << written;
    EXPECT_NE(written.find(entry), std::string::npos) << written;
    const std::string olderWritten = Slurp(older);
    EXPECT_EQ(olderWritten.find("time,"), std::string::npos) << olderWritten;
    EXPECT_NE(olderWritten.find(entry), std::string::npos) << olderWritten;
    // The JSON end event names the same image.
    EXPECT_NE(rig.events.back().find(",\"image_sha256\":\"" + SampleSha256() + "\"}"), std::string::npos)
        << rig.events.back();
}

TEST(LostOutput, AReaderThatQuitsEarlyDoesNotStopTheDownload)
{
    DownloadRig rig({"--processing-ms", "2"});
    const std::string image = rig.scratch.Write("firmware.s19", test::BlockImage(100));
    ChildProcess cli(TAVEXDL_CLI, {"download", image, "--device", rig.device, "--json"});  // | head -1
    EXPECT_FALSE(cli.ReadLine(10000).empty());
    cli.CloseOut();
    EXPECT_EQ(cli.Wait(30000), 1);
    EXPECT_NE(cli.Err().find("tavexdl-cli: standard output could not be written: Broken pipe"), std::string::npos)
        << cli.Err();
    const std::string summary = rig.Summary();
    EXPECT_NE(summary.find(DigestLine(ExpectedFlash(image, FileKind::S19, 1))), std::string::npos) << summary;
    EXPECT_NE(summary.find("blocks written: 100"), std::string::npos) << summary;
}

TEST(LostOutput, ACheckWhoseReportCannotBeWrittenFails)
{
    const test::ScratchDirectory scratch;
    const std::string sample =
        scratch.Write("tables.s20", test::Slurp(std::string(TAVEX_EXAMPLES) + "/keyboard-tables.s20"));
    for (const char* json : {"", " --json"}) {
        ChildProcess check("/bin/sh", {"-c", std::string(TAVEXDL_CLI) + " check " + sample + json + " >/dev/full"});
        EXPECT_EQ(check.Wait(30000), 1) << json;
        EXPECT_NE(check.Err().find("standard output could not be written: No space left on device"),
                  std::string::npos)
            << check.Err();
    }
}

} // namespace
} // namespace tavex
