// When replies are due: processing time, late faults and the pace of the
// line, all on the model's own arithmetic, with no clock involved.

#include "sim/keyboard_model.h"
#include "sim/wire_pacing.h"

#include "frame_bytes.h"

#include <gtest/gtest.h>

namespace tavex {
namespace {

using test::ByteVector;

std::vector<std::uint64_t> Delays(const KeyboardResponse& response)
{
    std::vector<std::uint64_t> delays;
    for (const ReplyPiece& piece : response.pieces) {
        delays.push_back(piece.delayMicros);
    }
    return delays;
}

TEST(WirePacing, TakesTenBitTimesAByte)
{
    struct Case {
        std::uint32_t baud;
        std::uint64_t micros;
    };
    for (const Case c : {Case{9600, 1042}, Case{19200, 521}, Case{57600, 174}, Case{115200, 87}, Case{0, 0}}) {
        EXPECT_EQ(ByteTimeMicros(c.baud), c.micros) << c.baud;
    }
}

TEST(KeyboardTiming, AnswersAtOnceUnlessToldToTakeItsTime)
{
    KeyboardModel prompt{KeyboardConfig{}};
    EXPECT_EQ(Delays(prompt.Receive(test::PingFrame(), 19200, 0)), std::vector<std::uint64_t>{0});

    KeyboardConfig config;
    config.processingMs = 30;
    config.faults.Add(*ParseFault("C0#2:late=7000").fault);
    KeyboardModel slow(std::move(config));
    EXPECT_EQ(Delays(slow.Receive(test::PingFrame(), 19200, 0)), std::vector<std::uint64_t>{30'000});
    EXPECT_EQ(Delays(slow.Receive(test::PingFrame(), 19200, 0)), std::vector<std::uint64_t>{7'030'000});
}

TEST(KeyboardTiming, SendsThePartialReplyOfAVanishingKeyboardAfterItsDelay)
{
    KeyboardConfig config;
    config.processingMs = 5;
    config.faults.Add(*ParseFault("T7:vanish").fault);
    KeyboardModel keyboard(std::move(config));
    const KeyboardResponse response = keyboard.Receive(test::ReadIdFrame(), 19200, 0);
    ASSERT_EQ(response.pieces.size(), 1U);
    EXPECT_EQ(response.pieces[0].delayMicros, 5'000U);
    EXPECT_EQ(response.pieces[0].bytes.size(), bootloader::kKeyboardIdLength / 2);
}

TEST(KeyboardTiming, PacedRepliesFollowTheFrameByteByByteAtTheLineSpeed)
{
    KeyboardConfig config;
    config.paceWire = true;
    config.processingMs = 1;
    KeyboardModel keyboard(std::move(config));
    const std::uint64_t byte = ByteTimeMicros(19200);

    // The 4-byte PING crosses the line, the keyboard thinks for 1 ms, then
    // each of the 18 bytes takes its own time.
    const KeyboardResponse response = keyboard.Receive(test::PingFrame(), 19200, 0);
    ASSERT_EQ(response.pieces.size(), bootloader::kIdentification.size());
    for (std::size_t i = 0; i < response.pieces.size(); ++i) {
        EXPECT_EQ(response.pieces[i].delayMicros, 4 * byte + 1000 + (i + 1) * byte) << "byte " << i;
        EXPECT_EQ(response.pieces[i].bytes, ByteVector{bootloader::kIdentification[i]});
    }
}

TEST(KeyboardTiming, PacedRepliesToFramesSentTogetherQueueBehindEachOther)
{
    KeyboardConfig config;
    config.paceWire = true;
    KeyboardModel keyboard(std::move(config));
    const std::uint64_t byte = ByteTimeMicros(57600);

    // The second PING has crossed the line long before the 18 bytes of the
    // first reply have: its reply follows them.
    const KeyboardResponse response = keyboard.Receive(test::Joined({test::PingFrame(), test::PingFrame()}), 57600, 0);
    ASSERT_EQ(response.pieces.size(), 36U);
    EXPECT_EQ(response.pieces[17].delayMicros, 4 * byte + 18 * byte);
    EXPECT_EQ(response.pieces[18].delayMicros, 4 * byte + 19 * byte);

    // A frame still crossing when the line is free answers when it has crossed.
    const ByteVector shortThenLong =
        test::Joined({test::FlashSectorFrame(1), test::WriteBlockFrame(0x10, ByteVector(16, 0))});
    const KeyboardResponse second = keyboard.Receive(shortThenLong, 57600, 0);
    ASSERT_EQ(second.pieces.size(), 4U);
    EXPECT_EQ(second.pieces[1].delayMicros, 9 * byte);
    EXPECT_EQ(second.pieces[2].delayMicros, shortThenLong.size() * byte + byte);
}

} // namespace
} // namespace tavex
