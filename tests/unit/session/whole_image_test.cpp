// A download holds its whole image before the port opens and reads it for
// the keyboard's version before the first record: a faulty image reaches the
// keyboard as PING and read-ID only.

#include "support/image_text.h"
#include "support/session_bench.h"
#include "support/session_inspector.h"

#include <gtest/gtest.h>

namespace tavex {
namespace {

using Inspect = test::SessionInspector;

using test::SessionBench;

// An image of 40 lines whose line 30 is `fault` (an .s20 image gets a header).
std::string LongImageWith(const std::string& fault, bool s20)
{
    std::string text = s20 ? "#schema 1\r\n#hardware 1\r\n" : "";
    const int firstLine = s20 ? 3 : 1;
    text += test::FlashSectorLine(1) + "\r\n";
    for (int line = firstLine + 1; line < 40; ++line) {
        text += (line == 30 ? fault : test::WriteBlockLine(0x100 + 16 * static_cast<std::uint32_t>(line), {1, 2}));
        text += "\r\n";
    }
    return text + test::EndOfTableLine() + "\r\n";
}

struct LateFault {
    const char* name;
    std::string file;
    std::string image;
    std::string message;
};

void PrintTo(const LateFault& fault, std::ostream* out) { *out << fault.name; }

class LateFaultyLine : public testing::TestWithParam<LateFault> {};

TEST_P(LateFaultyLine, EndsAfterPingAndReadIdWithTheLinesMessage)
{
    const LateFault& c = GetParam();
    SessionBench bench;
    bench.files.Add(c.file, c.image);
    bench.Open();
    ASSERT_TRUE(bench.Download(c.file));
    EXPECT_EQ(bench.host.messages, std::vector<std::string>{c.message});
    ASSERT_EQ(bench.control().frames.size(), 2U);
    EXPECT_EQ(bench.control().frames[0][1], '0');  // C0: PING
    EXPECT_EQ(bench.control().frames[1][1], '7');  // T7: read the keyboard's ID
    EXPECT_EQ(bench.keyboard.Flash().SectorErases(), 0U);
    EXPECT_EQ(bench.keyboard.Flash().BlocksWritten(), 0U);
    EXPECT_EQ(bench.host.statusLines.back(), "OFF-LINE");
    EXPECT_EQ(Inspect::ImageFile(bench.session), nullptr);
    EXPECT_FALSE(bench.session.WasCancelled());
}

INSTANTIATE_TEST_SUITE_P(
    Images, LateFaultyLine,
    testing::Values(
        LateFault{"S19Checksum", "late.s19", LongImageWith("S205000100AAFF", false),
                  "Error: Invalid checksum (79) on line 30 of \"late.s19\"."},
        LateFault{"S19NonHexDigit", "late.s19", LongImageWith("S2050001001G4F", false),
                  "Error: Bad data digits 49:71 on line 30 of \"late.s19\"."},
        LateFault{"S20UnknownDirective", "late.s20", LongImageWith("#ifdef 1", true),
                  "Error: Unknown Directive on line: 30."},
        LateFault{"S20OpenIfAtTheEnd", "late.s20", LongImageWith("#if-hardware 1", true),
                  "Error: '#if-hardware' directive on line: 30 has no matching '#endif'."}),
    [](const testing::TestParamInfo<LateFault>& info) { return info.param.name; });

TEST(WholeImage, AMediumThatFailsHalfWayIsReportedOnItsLineBeforeAnyRecord)
{
    SessionBench bench;
    const std::string image = LongImageWith(test::WriteBlockLine(0x500, {9}), false);
    const std::size_t cut = image.find("\r\n", image.size() / 2) + 2;  // the medium fails at a line's start
    bench.files.AddBroken("broken.s19", image.substr(0, cut), image.size());
    bench.Open();
    ASSERT_TRUE(bench.Download("broken.s19"));
    const std::string line = std::to_string(std::count(image.begin(), image.begin() + static_cast<long>(cut), '\n') + 1);
    EXPECT_EQ(bench.host.messages,
              std::vector<std::string>{"Error: A read error occurred on line " + line + " of \"broken.s19\"."});
    EXPECT_EQ(bench.control().frames.size(), 2U);
}

TEST(WholeImage, AnImageLargerThan64MiBIsRefusedBeforeThePortOpens)
{
    SessionBench bench;
    bench.files.AddBroken("Huge.S19", "", kLargestSnapshot + 1);
    bench.files.AddBroken("edge.s19", "", kLargestSnapshot);
    bench.Open();
    ASSERT_TRUE(bench.Download("Huge.S19"));
    EXPECT_EQ(bench.host.messages,
              std::vector<std::string>{"Error: \"huge.s19\" is too large to download (67108865 bytes; at most 64 MiB)."});
    EXPECT_TRUE(bench.control().frames.empty());
    EXPECT_FALSE(bench.control().GetPortOpen());
    EXPECT_EQ(Inspect::ImageFile(bench.session), nullptr);
    EXPECT_EQ(bench.session.State(), bpStateNONE);

    // Exactly 64 MiB is taken: this one fails on its first line, after PING and read-ID.
    bench.host.messages.clear();
    ASSERT_TRUE(bench.Download("edge.s19"));
    EXPECT_EQ(bench.host.messages,
              std::vector<std::string>{"Error: A read error occurred on line 1 of \"edge.s19\"."});
    EXPECT_EQ(bench.control().frames.size(), 2U);
}

TEST(WholeImage, TheSessionTellsWhatItSentAndWhetherItWasCancelled)
{
    SessionBench bench;
    bench.files.Add("image.s19", LongImageWith(test::WriteBlockLine(0x500, {9, 8, 7}), false));
    bench.Open();
    ASSERT_TRUE(bench.Download("image.s19"));
    EXPECT_TRUE(bench.host.messages.empty());
    EXPECT_FALSE(bench.session.WasCancelled());
    EXPECT_EQ(bench.session.KeyboardHardware(), std::optional<int>(1));
    EXPECT_EQ(bench.session.BlockCount(), 38);
    EXPECT_EQ(bench.session.DataBytesSent(), 37U * 2 + 3);

    ASSERT_TRUE(bench.StartUntil("image.s19", bpStateSENT_S2));
    bench.session.OnOK();
    ASSERT_TRUE(bench.RunToIdle());
    EXPECT_TRUE(bench.host.messages.empty());
    EXPECT_TRUE(bench.session.WasCancelled());

    // The next download starts afresh.
    ASSERT_TRUE(bench.Download("image.s19"));
    EXPECT_FALSE(bench.session.WasCancelled());
    EXPECT_EQ(bench.session.BlockCount(), 38);
}

} // namespace
} // namespace tavex
