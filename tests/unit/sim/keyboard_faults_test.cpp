#include "sim/keyboard_model.h"

#include "frame_bytes.h"

#include <gtest/gtest.h>

namespace tavex {
namespace {

using test::ByteVector;

constexpr std::uint32_t kBaud = 19200;

KeyboardModel WithFaults(std::initializer_list<const char*> texts)
{
    KeyboardConfig config;
    for (const char* text : texts) {
        config.faults.Add(*ParseFault(text).fault);
    }
    return KeyboardModel(std::move(config));
}

struct FaultCase {
    const char* name;
    const char* text;       // applied to the write-block frame
    const char* reply;      // what it gets instead of "OK"
    bool written;           // the block reaches the flash
    bool vanishes;
};

void PrintTo(const FaultCase& c, std::ostream* out) { *out << c.name; }

class FaultOnWriteBlock : public testing::TestWithParam<FaultCase> {};

TEST_P(FaultOnWriteBlock, ChangesTheReplyAndDecidesWhetherTheBlockIsWritten)
{
    const FaultCase& fault = GetParam();
    KeyboardModel keyboard = WithFaults({fault.text});
    const KeyboardResponse response = keyboard.Receive(test::WriteBlockFrame(0x012345, {0xAA}), kBaud, 0);
    EXPECT_EQ(response.Bytes(), test::Text(fault.reply));
    EXPECT_EQ(response.vanishes, fault.vanishes);
    EXPECT_EQ(keyboard.Vanished(), fault.vanishes);
    EXPECT_EQ(keyboard.Flash().Bytes().count(0x012345), fault.written ? 1U : 0U);
    EXPECT_EQ(keyboard.Statistics().faultsApplied, 1U);
}

INSTANTIATE_TEST_SUITE_P(
    Actions, FaultOnWriteBlock,
    testing::Values(FaultCase{"CommunicationError", "S2:ce", "CE", false, false},
                    FaultCase{"CommandError", "S2:fe", "FE", false, false},
                    FaultCase{"OtherBytes", "S2:bytes=4F4B4F4B", "OKOK", true, false},
                    FaultCase{"Silent", "S2:silent", "", false, false},
                    FaultCase{"Late", "S2:late=20", "OK", true, false},
                    FaultCase{"Vanish", "S2:vanish", "O", true, true},
                    FaultCase{"ByFrameNumber", "1:fe", "FE", false, false}),
    [](const testing::TestParamInfo<FaultCase>& info) { return info.param.name; });

TEST(KeyboardFaults, StrikesOnlyTheNumberedFrameOfItsKind)
{
    KeyboardModel keyboard = WithFaults({"S2#2:ce"});
    const ByteVector blocks = test::Joined({test::WriteBlockFrame(0x10, {1}), test::PingFrame(),
                                            test::WriteBlockFrame(0x11, {2}), test::WriteBlockFrame(0x12, {3})});
    const ByteVector replies = keyboard.Receive(blocks, kBaud, 0).Bytes();
    const ByteVector identification(bootloader::kIdentification.begin(), bootloader::kIdentification.end());
    EXPECT_EQ(replies, test::Joined({test::Text("OK"), identification, test::Text("CEOK")}));
    EXPECT_EQ(keyboard.Flash().Bytes(), (std::map<std::uint32_t, std::uint8_t>{{0x10, 1}, {0x12, 3}}));
}

TEST(KeyboardFaults, StrikesABadFrameToo)
{
    KeyboardModel keyboard = WithFaults({"S2:bytes=4F4B"});
    ByteVector damaged = test::WriteBlockFrame(0x10, {1});
    damaged.back() = static_cast<std::uint8_t>(damaged.back() ^ 0xFF);
    EXPECT_EQ(keyboard.Receive(damaged, kBaud, 0).Bytes(), test::Text("OK"));
    EXPECT_TRUE(keyboard.Flash().Bytes().empty());
    EXPECT_EQ(keyboard.Statistics().badChecksums, 1U);
}

TEST(KeyboardFaults, VanishesAfterHalfTheIdentificationAndThenHearsNothing)
{
    KeyboardModel keyboard = WithFaults({"C0:vanish"});
    const ByteVector twoPings = test::Joined({test::PingFrame(), test::PingFrame()});
    const KeyboardResponse response = keyboard.Receive(twoPings, kBaud, 0);
    EXPECT_EQ(response.Bytes(),
              ByteVector(bootloader::kIdentification.begin(), bootloader::kIdentification.begin() + 9));
    EXPECT_TRUE(response.vanishes);

    const KeyboardResponse after = keyboard.Receive(test::ReadIdFrame(), kBaud, 0);
    EXPECT_TRUE(after.pieces.empty());
    EXPECT_EQ(keyboard.Statistics().framesByKind[IndexOf(CommandKind::Ping)], 1U);
    EXPECT_EQ(keyboard.Statistics().framesByKind[IndexOf(CommandKind::ReadId)], 0U);
}

} // namespace
} // namespace tavex
