#include "sim/frame_parser.h"

#include "frame_bytes.h"

#include <gtest/gtest.h>

namespace tavex {
namespace {

using test::ByteVector;

// The tiny image's exchange as the host sends it.
const ByteVector kExchange = {0x43, 0x30, 0x01, 0xFE, 0x54, 0x37, 0x01, 0xFE, 0x43, 0x31, 0x04, 0xCA, 0xC5,
                              0x03, 0x69, 0x53, 0x32, 0x05, 0x01, 0x23, 0x45, 0xAA, 0xE7, 0x53, 0x38, 0x04,
                              0xFF, 0xFF, 0xFF, 0xFE};

std::vector<Frame> FeedInPieces(FrameParser& parser, const ByteVector& bytes, std::size_t pieceSize)
{
    std::vector<Frame> frames;
    for (std::size_t at = 0; at < bytes.size(); at += pieceSize) {
        const std::size_t size = std::min(pieceSize, bytes.size() - at);
        for (Frame& frame : parser.Feed(std::span(bytes).subspan(at, size), true)) {
            frames.push_back(std::move(frame));
        }
    }
    return frames;
}

TEST(FrameParser, FindsTheSameFramesWhateverThePiecesTheBytesArriveIn)
{
    for (std::size_t pieceSize = 1; pieceSize <= kExchange.size(); ++pieceSize) {
        FrameParser parser;
        const std::vector<Frame> frames = FeedInPieces(parser, kExchange, pieceSize);
        ASSERT_EQ(frames.size(), 5U) << "pieces of " << pieceSize;
        EXPECT_EQ(frames[0].command, (std::array<std::uint8_t, 2>{'C', '0'}));
        EXPECT_EQ(frames[0].countAndBody, ByteVector({0x01}));
        EXPECT_EQ(frames[0].checksum, 0xFE);
        EXPECT_EQ(frames[2].countAndBody, ByteVector({0x04, 0xCA, 0xC5, 0x03}));
        EXPECT_EQ(frames[2].checksum, 0x69);
        EXPECT_EQ(frames[3].command, (std::array<std::uint8_t, 2>{'S', '2'}));
        EXPECT_EQ(frames[3].countAndBody, ByteVector({0x05, 0x01, 0x23, 0x45, 0xAA}));
        EXPECT_EQ(frames[4].checksum, 0xFE);
    }
}

TEST(FrameParser, TellsWhereInThePieceEachFrameEnded)
{
    FrameParser parser;
    const std::vector<Frame> frames = parser.Feed(kExchange, true);
    ASSERT_EQ(frames.size(), 5U);
    const std::array<std::size_t, 5> ends = {4, 8, 15, 23, 30};
    for (std::size_t i = 0; i < ends.size(); ++i) {
        EXPECT_EQ(frames[i].endOffset, ends[i]) << "frame " << i;
    }

    // A frame finished by a later piece ends where that piece brings its last byte.
    FrameParser split;
    EXPECT_TRUE(split.Feed(std::span(kExchange).first(10), true).size() == 2);
    const std::vector<Frame> rest = split.Feed(std::span(kExchange).subspan(10, 6), true);
    ASSERT_EQ(rest.size(), 1U);
    EXPECT_EQ(rest[0].endOffset, 5U);
}

TEST(FrameParser, EndsAFrameWithCountZeroAtItsCountAndWithoutAChecksum)
{
    FrameParser parser;
    const std::vector<Frame> frames = parser.Feed(ByteVector{'X', 'Y', 0x00, 'C', '0', 0x01, 0xFE}, true);
    ASSERT_EQ(frames.size(), 2U);
    EXPECT_EQ(frames[0].countAndBody, ByteVector({0x00}));
    EXPECT_FALSE(frames[0].checksum.has_value());
    EXPECT_EQ(frames[1].checksum, 0xFE);
}

TEST(FrameParser, MarksAFrameGarbledWhenAnyOfItsBytesWasIllegible)
{
    const ByteVector ping = test::PingFrame();
    FrameParser parser;
    EXPECT_TRUE(parser.Feed(std::span(ping).first(2), false).empty());
    const std::vector<Frame> mixed = parser.Feed(std::span(ping).subspan(2), true);
    ASSERT_EQ(mixed.size(), 1U);
    EXPECT_TRUE(mixed[0].garbled);

    // The garbling does not outlive its frame.
    const std::vector<Frame> clean = parser.Feed(ping, true);
    ASSERT_EQ(clean.size(), 1U);
    EXPECT_FALSE(clean[0].garbled);
}

TEST(FrameParser, ForgetsAnUnfinishedFrameOnReset)
{
    FrameParser parser;
    EXPECT_TRUE(parser.Feed(ByteVector{'S', '2', 0x14, 0x01}, true).empty());
    parser.Reset();
    const std::vector<Frame> frames = parser.Feed(test::PingFrame(), true);
    ASSERT_EQ(frames.size(), 1U);
    EXPECT_EQ(frames[0].command, (std::array<std::uint8_t, 2>{'C', '0'}));
}

} // namespace
} // namespace tavex
