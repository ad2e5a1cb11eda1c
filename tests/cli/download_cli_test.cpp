// tavexdl-cli download, run as a process against tavexdl-kbsim on a
// pseudo-terminal.

#include "kbsim_process.h"
#include "support/child_process.h"
#include "image/memory_byte_source.h"
#include "sim/image_flash.h"
#include "support/image_text.h"
#include "support/scratch_directory.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fstream>
#include <sstream>

namespace tavex {
namespace {

using test::ChildProcess;
using test::KbsimProcess;

const std::string kExamples = TAVEX_EXAMPLES;

std::string Slurp(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

SimulatedFlash ExpectedFlash(const std::string& image, std::int32_t fileKind, std::int32_t hardware)
{
    const std::string text = Slurp(image);
    const std::vector<std::uint8_t> bytes(text.begin(), text.end());
    MemoryByteSource source(bytes);
    return FlashOfImage(source, bytes.size(), fileKind, hardware);
}

std::string DigestLine(const SimulatedFlash& flash)
{
    char text[40];
    std::snprintf(text, sizeof text, "flash digest: 0x%016llx", static_cast<unsigned long long>(flash.Digest()));
    return text;
}

// A keyboard simulator, and a download to it.
struct Rig {
    explicit Rig(std::vector<std::string> keyboardOptions) : keyboard(keyboardOptions)
    {
        device = keyboard.ReadLine(5000);
    }

    // A copy of a sample image: a download holds its image locked, which
    // must not get in the way of other tests reading the samples.
    std::string Sample(const std::string& name) { return scratch.Write(name, Slurp(kExamples + "/" + name)); }

    // Runs the download to its end; answers its exit code.
    int Download(const std::string& image, std::vector<std::string> extra = {})
    {
        std::vector<std::string> arguments = {"download", image, "--device", device, "--json"};
        arguments.insert(arguments.end(), extra.begin(), extra.end());
        ChildProcess cli(TAVEXDL_CLI, arguments);
        for (std::string line = cli.ReadLine(30000); !line.empty(); line = cli.ReadLine(30000)) {
            events.push_back(line);
        }
        const int exitCode = cli.Wait(30000);
        err = cli.Err();
        return exitCode;
    }

    // Stops the simulator and answers its summary.
    std::string Summary()
    {
        keyboard.Signal(SIGTERM);
        keyboard.Wait(5000);
        return keyboard.RestOfOut();
    }

    bool Saw(const std::string& event) const
    {
        return std::find(events.begin(), events.end(), event) != events.end();
    }

    // The last event is the end event, and it begins with `start`.
    bool EndsWith(const std::string& start) const { return !events.empty() && events.back().rfind(start, 0) == 0; }

    test::ScratchDirectory scratch;
    KbsimProcess keyboard;
    std::string device;
    std::vector<std::string> events;
    std::string err;
};

TEST(DownloadCli, WritesAnS19ImageAndTheFlashHoldsExactlyIt)
{
    Rig rig({});
    const std::string image = rig.Sample("keyboard-small.s19");
    EXPECT_EQ(rig.Download(image), 0) << rig.err;
    EXPECT_TRUE(rig.EndsWith("{\"event\":\"end\",\"ok\":true,\"result\":\"ok\",\"blocks\":7,\"bytes\":")) << rig.events.back();
    EXPECT_TRUE(rig.Saw("{\"event\":\"status\",\"text\":\"Sending PING...  at 19200 Baudrate \"}"));
    EXPECT_TRUE(rig.Saw("{\"event\":\"progress\",\"percent\":100}"));
    EXPECT_NE(rig.Summary().find(DigestLine(ExpectedFlash(image, 0, 1))), std::string::npos);
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
    EXPECT_NE(summary.find(DigestLine(ExpectedFlash(image, 1, 2))), std::string::npos) << summary;
    EXPECT_EQ(summary.find(DigestLine(ExpectedFlash(image, 1, 1))), std::string::npos);
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
    std::vector<std::string> lines;
    for (std::uint32_t i = 0; i < 400; ++i) {
        lines.push_back(test::WriteBlockLine(0x1000 + 16 * i, {1, 2, 3, 4}));
    }
    std::string text;
    for (const std::string& line : lines) {
        text += line + "\r\n";
    }
    const std::string image = scratch.Write("long.s19", text);

    Rig rig({"--processing-ms", "5"});
    ChildProcess cli(TAVEXDL_CLI, {"download", image, "--device", rig.device, "--json"});
    for (std::string line = cli.ReadLine(10000); !line.empty(); line = cli.ReadLine(10000)) {
        rig.events.push_back(line);
        if (line == "{\"event\":\"status\",\"text\":\"Writing Block: 20\"}") {
            cli.Signal(SIGINT);
        }
    }
    EXPECT_EQ(cli.Wait(10000), 130) << cli.Err();
    EXPECT_TRUE(rig.EndsWith("{\"event\":\"end\",\"ok\":false,\"result\":\"cancelled\",\"blocks\":2"))
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
                             "not be found.\"}");
    EXPECT_TRUE(rig.EndsWith("{\"event\":\"end\",\"ok\":false,\"result\":\"failed\",\"blocks\":0,\"bytes\":0,"
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
