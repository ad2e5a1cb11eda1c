#include "sim/keyboard_model.h"

#include "frame_bytes.h"
#include "sim/sim_summary.h"

#include <gtest/gtest.h>

namespace tavex {
namespace {

using test::ByteVector;

constexpr std::uint32_t kBaud = 19200;

const ByteVector kIdentification(bootloader::kIdentification.begin(), bootloader::kIdentification.end());

const ByteVector kTinyImage = test::Joined({test::PingFrame(), test::ReadIdFrame(), test::FlashSectorFrame(3),
                                            test::WriteBlockFrame(0x012345, {0xAA}), test::EndOfTableFrame()});

ByteVector Answer(KeyboardModel& keyboard, const ByteVector& bytes, std::uint32_t baud = kBaud)
{
    return keyboard.Receive(bytes, baud, 0).Bytes();
}

ByteVector IdentityRecord(std::uint8_t version)
{
    ByteVector record = test::Text("KB0417");
    record.push_back(version);
    const ByteVector firmware = test::Text("V1.00-SIM");
    record.insert(record.end(), firmware.begin(), firmware.end());
    return record;
}

TEST(KeyboardModel, TheFrameBuildersMakeTheBytesOfTheTinyImageExchange)
{
    EXPECT_EQ(kTinyImage, ByteVector({0x43, 0x30, 0x01, 0xFE, 0x54, 0x37, 0x01, 0xFE, 0x43, 0x31, 0x04, 0xCA,
                                      0xC5, 0x03, 0x69, 0x53, 0x32, 0x05, 0x01, 0x23, 0x45, 0xAA, 0xE7, 0x53,
                                      0x38, 0x04, 0xFF, 0xFF, 0xFF, 0xFE}));
}

TEST(KeyboardModel, AnswersTheTinyImageAndKeepsWhatItWrote)
{
    KeyboardModel keyboard(KeyboardConfig{});
    ByteVector expected = kIdentification;
    const ByteVector record = IdentityRecord(1);
    expected.insert(expected.end(), record.begin(), record.end());
    for (int i = 0; i < 3; ++i) {
        expected.insert(expected.end(), {'O', 'K'});
    }
    EXPECT_EQ(Answer(keyboard, kTinyImage), expected);

    EXPECT_EQ(keyboard.Flash().Bytes(), (std::map<std::uint32_t, std::uint8_t>{{0x012345, 0xAA}}));
    EXPECT_EQ(keyboard.Flash().ErasedSectors(), (std::set<std::uint8_t>{3}));
    EXPECT_EQ(keyboard.Flash().TablesEnded(), 1U);
    const std::array<std::uint64_t, kCommandKindCount> oneOfEach = {1, 1, 1, 1, 1, 0};
    EXPECT_EQ(keyboard.Statistics().framesByKind, oneOfEach);
}

TEST(KeyboardModel, AnswersTheSameWhenTheBytesComeOneAtATime)
{
    KeyboardModel whole(KeyboardConfig{});
    KeyboardModel trickled(KeyboardConfig{});
    ByteVector answered;
    for (std::uint8_t byte : kTinyImage) {
        const ByteVector reply = Answer(trickled, {byte});
        answered.insert(answered.end(), reply.begin(), reply.end());
    }
    EXPECT_EQ(answered, Answer(whole, kTinyImage));
    EXPECT_EQ(trickled.Flash().Digest(), whole.Flash().Digest());
}

struct RefusedFrame {
    const char* name;
    ByteVector frame;
    const char* reply;
};

void PrintTo(const RefusedFrame& c, std::ostream* out) { *out << c.name; }

class RefusedFrames : public testing::TestWithParam<RefusedFrame> {};

ByteVector WithChecksumOff(ByteVector frame)
{
    frame.back() = static_cast<std::uint8_t>(frame.back() + 1);
    return frame;
}

TEST_P(RefusedFrames, AnswersAnErrorAndLeavesTheFlashAlone)
{
    KeyboardModel keyboard(KeyboardConfig{});
    const std::uint64_t blank = keyboard.Flash().Digest();
    EXPECT_EQ(Answer(keyboard, GetParam().frame), test::Text(GetParam().reply));
    EXPECT_EQ(keyboard.Flash().Digest(), blank);
    const bool communicationError = std::string_view(GetParam().reply) == "CE";
    EXPECT_EQ(keyboard.Statistics().badChecksums, communicationError ? 1U : 0U);
    EXPECT_EQ(keyboard.Statistics().malformedFrames, communicationError ? 0U : 1U);

    // The keyboard is still in step: the next frame is answered as usual.
    EXPECT_EQ(Answer(keyboard, test::PingFrame()), kIdentification);
}

INSTANTIATE_TEST_SUITE_P(
    Replies, RefusedFrames,
    testing::Values(
        RefusedFrame{"PingChecksum", WithChecksumOff(test::PingFrame()), "CE"},
        RefusedFrame{"FlashSectorChecksum", WithChecksumOff(test::FlashSectorFrame(3)), "CE"},
        RefusedFrame{"WriteBlockChecksum", WithChecksumOff(test::WriteBlockFrame(0x10, {1, 2})), "CE"},
        RefusedFrame{"EndOfTableChecksum", WithChecksumOff(test::EndOfTableFrame()), "CE"},
        RefusedFrame{"UnknownCommandChecksum", WithChecksumOff(test::FrameBytes({'X', '1'}, {})), "CE"},
        RefusedFrame{"UnknownCommand", test::FrameBytes({'S', '1'}, {0, 0, 0}), "FE"},
        RefusedFrame{"LowerCaseCommand", test::FrameBytes({'c', '0'}, {}), "FE"},
        RefusedFrame{"FlashSectorWithoutKey", test::FrameBytes(bootloader::kFlashSector, {0xCA, 0xC4, 3}), "FE"},
        RefusedFrame{"FlashSectorTooLong", test::FrameBytes(bootloader::kFlashSector, {0xCA, 0xC5, 3, 0}), "FE"},
        RefusedFrame{"WriteBlockWithoutData", test::FrameBytes(bootloader::kWriteBlock, {0, 0, 0x10}), "FE"},
        RefusedFrame{"WriteBlockOfSeventeen", test::WriteBlockFrame(0x10, ByteVector(17, 0x55)), "FE"},
        RefusedFrame{"EndOfTableTooShort", test::FrameBytes(bootloader::kEndOfTable, {0xFF, 0xFF}), "FE"},
        RefusedFrame{"PingWithABody", test::FrameBytes(bootloader::kPing, {0}), "FE"},
        RefusedFrame{"ReadIdWithABody", test::FrameBytes(bootloader::kReadId, {0}), "FE"},
        RefusedFrame{"CountZero", ByteVector{'S', '2', 0x00}, "FE"}),
    [](const testing::TestParamInfo<RefusedFrame>& info) { return info.param.name; });

TEST(KeyboardModel, TakesWriteBlocksOfOneToSixteenBytes)
{
    KeyboardModel keyboard(KeyboardConfig{});
    EXPECT_EQ(Answer(keyboard, test::WriteBlockFrame(0xFEDCBA, ByteVector(16, 0x5A))), test::Text("OK"));
    EXPECT_EQ(Answer(keyboard, test::WriteBlockFrame(0x000000, {0x01})), test::Text("OK"));
    EXPECT_EQ(keyboard.Flash().Bytes().size(), 17U);
    EXPECT_EQ(keyboard.Flash().Bytes().at(0xFEDCC9), 0x5A);
    EXPECT_EQ(keyboard.Flash().BlocksWritten(), 2U);
}

TEST(KeyboardModel, PutsTheHardwareVersionAtByteSixOfTheIdentityRecord)
{
    for (std::uint8_t version : std::initializer_list<std::uint8_t>{0, 1, 7, 255}) {
        KeyboardConfig config;
        config.hardwareVersion = version;
        KeyboardModel keyboard(std::move(config));
        EXPECT_EQ(Answer(keyboard, test::ReadIdFrame()), IdentityRecord(version)) << int{version};
    }
}

TEST(KeyboardModel, CanPassForAKeyboardThisFirmwareIsNotFor)
{
    KeyboardConfig config;
    config.wrongIdentification = true;
    config.idWithoutKb = true;
    KeyboardModel keyboard(std::move(config));

    const ByteVector identification = Answer(keyboard, test::PingFrame());
    EXPECT_EQ(identification.size(), bootloader::kIdentification.size());
    EXPECT_NE(identification, kIdentification);

    const ByteVector record = Answer(keyboard, test::ReadIdFrame());
    ASSERT_EQ(record.size(), bootloader::kKeyboardIdLength);
    EXPECT_FALSE(record[0] == 'K' && record[1] == 'B');
    EXPECT_EQ(record[bootloader::kHardwareVersionIndex], 1);
}

TEST(KeyboardModel, HearsFramesAtAnyOtherBaudAsNoiseAndDoesNotNumberThem)
{
    KeyboardConfig config;
    config.onlyBaud = 57600;
    config.faults.Add(*ParseFault("1:fe").fault);
    KeyboardModel keyboard(std::move(config));

    EXPECT_EQ(Answer(keyboard, test::PingFrame(), 19200), ByteVector());
    EXPECT_EQ(Answer(keyboard, test::FlashSectorFrame(3), 9600), ByteVector());
    EXPECT_EQ(keyboard.Statistics().wrongBaudFrames, 2U);
    EXPECT_TRUE(keyboard.Flash().ErasedSectors().empty());

    // A frame begun at the wrong baud is noise even if it ends at the right one.
    const ByteVector ping = test::PingFrame();
    EXPECT_EQ(Answer(keyboard, ByteVector(ping.begin(), ping.begin() + 2), 19200), ByteVector());
    EXPECT_EQ(Answer(keyboard, ByteVector(ping.begin() + 2, ping.end()), 57600), ByteVector());
    EXPECT_EQ(keyboard.Statistics().wrongBaudFrames, 3U);

    // The first frame heard is frame 1.
    EXPECT_EQ(Answer(keyboard, test::PingFrame(), 57600), test::Text("FE"));
    EXPECT_EQ(Answer(keyboard, test::PingFrame(), 57600), kIdentification);
    EXPECT_EQ(keyboard.Statistics().framesByKind[IndexOf(CommandKind::Ping)], 2U);
}

TEST(KeyboardModel, StartsNumberingAgainAndForgetsHalfAFrameInANewSessionButKeepsTheFlash)
{
    KeyboardConfig config;
    config.faults.Add(*ParseFault("2:ce").fault);
    config.faults.Add(*ParseFault("C0#2:silent").fault);
    KeyboardModel keyboard(std::move(config));
    const ByteVector firstSession =
        test::Joined({test::PingFrame(), test::FlashSectorFrame(1), test::WriteBlockFrame(0x20, {7})});
    EXPECT_EQ(Answer(keyboard, firstSession), test::Joined({kIdentification, test::Text("CEOK")}));
    EXPECT_EQ(Answer(keyboard, ByteVector{'S', '2', 0x05}), ByteVector());

    keyboard.StartSession();
    const ByteVector secondSession = test::Joined({test::PingFrame(), test::EndOfTableFrame(), test::PingFrame()});
    EXPECT_EQ(Answer(keyboard, secondSession), test::Joined({kIdentification, test::Text("CE")}));
    EXPECT_EQ(keyboard.Flash().Bytes().at(0x20), 7);
    EXPECT_EQ(keyboard.Flash().TablesEnded(), 0U);
    EXPECT_EQ(keyboard.Statistics().framesByKind[IndexOf(CommandKind::Ping)], 3U);
}

TEST(KeyboardModel, SummarisesWhatItHeardAndWhatItsFlashHolds)
{
    KeyboardConfig config;
    config.onlyBaud = kBaud;
    config.faults.Add(*ParseFault("S8:late=1").fault);
    KeyboardModel keyboard(std::move(config));
    Answer(keyboard, kTinyImage);
    Answer(keyboard, WithChecksumOff(test::PingFrame()));
    Answer(keyboard, test::FrameBytes({'Z', 'Z'}, {}));
    Answer(keyboard, test::PingFrame(), 9600);

    const std::string summary = SummaryText(keyboard.Statistics(), 4, keyboard.Flash());
    for (const std::string line : {"frames: C0 2 T7 1 C1 1 S2 1 S8 1 unknown 1\n", "bad checksums: 1\n",
                                   "malformed frames: 1\n", "faults applied: 1\n", "wrong-baud frames: 1\n",
                                   "replies dropped: 4\n", "sectors erased: 1 (3)\n", "blocks written: 1\n",
                                   "tables: 1\n"}) {
        EXPECT_NE(summary.find(line), std::string::npos) << line << "in\n" << summary;
    }
    char digest[40];
    std::snprintf(digest, sizeof digest, "flash digest: 0x%016llx\n",
                  static_cast<unsigned long long>(keyboard.Flash().Digest()));
    EXPECT_NE(summary.find(digest), std::string::npos) << summary;
}

} // namespace
} // namespace tavex
