// Giving up a frame left unfinished once the line has been quiet for half a
// second, on the owner's clock: a slow host is still heard, noise does not
// swallow the frames after it.

#include "sim/keyboard_model.h"
#include "sim/wire_pacing.h"

#include "frame_bytes.h"

#include <gtest/gtest.h>

namespace tavex {
namespace {

using test::ByteVector;

constexpr std::uint32_t kBaud = 9600;
constexpr std::uint64_t kStart = 3'000'000;  // any time: only the quiet between the bytes counts

const ByteVector kIdentification(bootloader::kIdentification.begin(), bootloader::kIdentification.end());
const ByteVector kPing = test::PingFrame();
const ByteVector kPingHead(kPing.begin(), kPing.begin() + 2);
const ByteVector kPingTail(kPing.begin() + 2, kPing.end());
// The start of a write-block frame whose count asks for 20 more bytes.
const ByteVector kNoise = {'S', '2', 0x14, 0x01};

struct QuietCase {
    const char* name;
    ByteVector before;
    std::uint32_t beforeBaud;  // the keyboard hears only kBaud
    bool paced;
    std::uint64_t quietMicros;  // from the arrival of `before` to that of `after`
    ByteVector after;
    ByteVector reply;  // to both
};

void PrintTo(const QuietCase& c, std::ostream* out) { *out << c.name; }

class QuietLine : public testing::TestWithParam<QuietCase> {};

TEST_P(QuietLine, DropsAFrameLeftUnfinishedOnlyAfterHalfASecond)
{
    const QuietCase& c = GetParam();
    KeyboardConfig config;
    config.onlyBaud = kBaud;
    config.paceWire = c.paced;
    KeyboardModel keyboard(std::move(config));
    ByteVector reply = keyboard.Receive(c.before, c.beforeBaud, kStart).Bytes();
    const ByteVector afterReply = keyboard.Receive(c.after, kBaud, kStart + c.quietMicros).Bytes();
    reply.insert(reply.end(), afterReply.begin(), afterReply.end());
    EXPECT_EQ(reply, c.reply);
}

// Four bytes at 9600 baud, paced, finish crossing this long after they arrive.
const std::uint64_t kNoiseCrossing = kNoise.size() * ByteTimeMicros(kBaud);

INSTANTIATE_TEST_SUITE_P(
    Pauses, QuietLine,
    testing::Values(QuietCase{"SlowHostStillHeard", kPingHead, kBaud, false, 499'999, kPingTail, kIdentification},
                    QuietCase{"HalfAFrameGivenUp", kPingHead, kBaud, false, 500'000, kPingTail, {}},
                    QuietCase{"NoiseSwallowsAPingTooSoon", kNoise, kBaud, false, 499'999, kPing, {}},
                    QuietCase{"NoiseForgottenAtHalfASecond", kNoise, kBaud, false, 500'000, kPing, kIdentification},
                    QuietCase{"NoiseForgottenLongAfter", kNoise, kBaud, false, 60'000'000, kPing, kIdentification},
                    QuietCase{"WrongBaudNoiseForgotten", kNoise, 19200, false, 500'000, kPing, kIdentification},
                    QuietCase{"PacedNoiseStillCrossing", kNoise, kBaud, true, 500'000, kPing, {}},
                    QuietCase{"PacedNoiseCrossedAndQuiet", kNoise, kBaud, true, kNoiseCrossing + 500'000, kPing,
                              kIdentification}),
    [](const testing::TestParamInfo<QuietCase>& info) { return info.param.name; });

TEST(QuietLine, KeepsCountingTheQuietFromTheLastBytesHeard)
{
    // Noise trickling in never leaves the line quiet for long, however long it lasts.
    KeyboardModel keyboard{KeyboardConfig{}};
    const ByteVector trickle = {'S', '2', 0xFF};
    std::uint64_t now = kStart;
    for (std::uint8_t byte : trickle) {
        EXPECT_EQ(keyboard.Receive(ByteVector{byte}, kBaud, now).Bytes(), ByteVector());
        now += 400'000;
    }
    EXPECT_EQ(keyboard.Receive(kPing, kBaud, now).Bytes(), ByteVector()) << "taken into the 255-byte body";
    EXPECT_EQ(keyboard.Receive(kPing, kBaud, now + 500'000).Bytes(), kIdentification);
}

} // namespace
} // namespace tavex
