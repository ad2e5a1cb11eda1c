#include "sim/reply_queue.h"

#include "sim/keyboard_model.h"

#include "frame_bytes.h"

#include <gtest/gtest.h>

#include <limits>

namespace tavex {
namespace {

using test::ByteVector;
using test::Text;

KeyboardResponse Reply(std::initializer_list<ReplyPiece> pieces, bool vanishes = false)
{
    return KeyboardResponse{pieces, vanishes};
}

TEST(ReplyQueue, HoldsEachPieceUntilItIsDueOnTheOwnersClock)
{
    ReplyQueue queue;
    EXPECT_FALSE(queue.NextDueMicros().has_value());
    queue.Schedule(1'000, Reply({{500, Text("O")}, {900, Text("K")}}));

    EXPECT_EQ(queue.NextDueMicros(), 1'500U);
    EXPECT_EQ(queue.TakeDue(1'499).bytes, ByteVector());
    EXPECT_EQ(queue.TakeDue(1'500).bytes, Text("O"));
    EXPECT_EQ(queue.NextDueMicros(), 1'900U);
    EXPECT_EQ(queue.TakeDue(5'000).bytes, Text("K"));
    EXPECT_FALSE(queue.NextDueMicros().has_value());
}

TEST(ReplyQueue, NeverLetsAReplyOvertakeOneAnsweredBeforeIt)
{
    ReplyQueue queue;
    queue.Schedule(0, Reply({{7'000'000, Text("late")}}));
    queue.Schedule(10, Reply({{0, Text("A")}, {100, Text("B")}}));

    EXPECT_EQ(queue.TakeDue(6'999'999).bytes, ByteVector());
    EXPECT_EQ(queue.TakeDue(7'000'000).bytes, Text("lateA"));
    EXPECT_EQ(queue.NextDueMicros(), 7'000'100U) << "the pace between the pieces is kept";
    EXPECT_EQ(queue.TakeDue(7'000'100).bytes, Text("B"));
}

TEST(ReplyQueue, TellsOfTheVanishingOnlyOnceTheLastPieceIsOut)
{
    ReplyQueue queue;
    queue.Schedule(0, Reply({{100, Text("No")}}, true));
    DueBytes early = queue.TakeDue(50);
    EXPECT_FALSE(early.vanish);
    DueBytes last = queue.TakeDue(100);
    EXPECT_EQ(last.bytes, Text("No"));
    EXPECT_TRUE(last.vanish);

    ReplyQueue silent;
    silent.Schedule(0, Reply({}, true));
    EXPECT_EQ(silent.NextDueMicros(), 0U);
    EXPECT_TRUE(silent.TakeDue(0).vanish);
}

TEST(ReplyQueue, SendsBytesPutBackFirst)
{
    ReplyQueue queue;
    queue.Schedule(0, Reply({{0, Text("ab")}, {50, Text("c")}}));
    DueBytes due = queue.TakeDue(0);
    ASSERT_EQ(due.bytes, Text("ab"));
    queue.PutBack(Text("b"));
    EXPECT_EQ(queue.NextDueMicros(), 0U);
    EXPECT_EQ(queue.TakeDue(50).bytes, Text("bc"));
}

TEST(ReplyQueue, ForgetsEverythingOnClear)
{
    ReplyQueue queue;
    queue.Schedule(0, Reply({{9'000'000, Text("OK")}}, true));
    queue.Clear();
    EXPECT_FALSE(queue.NextDueMicros().has_value());
    queue.Schedule(10, Reply({{0, Text("FE")}}));
    EXPECT_EQ(queue.NextDueMicros(), 10U) << "nothing left to wait behind";
    const DueBytes due = queue.TakeDue(10);
    EXPECT_EQ(due.bytes, Text("FE"));
    EXPECT_FALSE(due.vanish);
}

// Replies to one lot of bytes, each due at once: as one piece, or paced as a
// piece a byte.
KeyboardResponse Replies(const std::vector<const char*>& texts, bool paced)
{
    KeyboardResponse response;
    for (const char* text : texts) {
        const ByteVector bytes = Text(text);
        if (!paced) {
            response.pieces.push_back({0, bytes});
            continue;
        }
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            response.pieces.push_back({i, {bytes[i]}, i == 0});
        }
    }
    return response;
}

struct FloodCase {
    const char* name;
    std::size_t bound;
    bool paced;
    std::vector<const char*> replies;
    const char* sent;  // all that goes out
    std::uint64_t dropped;
};

void PrintTo(const FloodCase& c, std::ostream* out) { *out << c.name; }

class ReplyQueueBound : public testing::TestWithParam<FloodCase> {};

TEST_P(ReplyQueueBound, DropsTheNewestRepliesWholeOnceItHoldsItsBound)
{
    const FloodCase& c = GetParam();
    ReplyQueue queue(c.bound);
    queue.Schedule(0, Replies(c.replies, c.paced));
    EXPECT_EQ(queue.TakeDue(1'000'000).bytes, Text(c.sent));
    EXPECT_EQ(queue.DroppedReplies(), c.dropped);
}

INSTANTIATE_TEST_SUITE_P(
    Floods, ReplyQueueBound,
    testing::Values(FloodCase{"RoomForAll", 6, false, {"OK", "OK", "OK"}, "OKOKOK", 0},
                    FloodCase{"NewestDropped", 4, false, {"OK", "CE", "FE", "OK"}, "OKCE", 2},
                    FloodCase{"LongReplyNotCut", 4, false, {"O", "Norwick", "OK"}, "ONorwick", 1},
                    FloodCase{"PacedReplyNotCut", 3, true, {"Norwick", "OK"}, "Norwick", 1},
                    FloodCase{"PacedRepliesCountedWhole", 4, true, {"OK", "CE", "FE", "OK"}, "OKCE", 2}),
    [](const testing::TestParamInfo<FloodCase>& info) { return info.param.name; });

TEST(ReplyQueueBound, TakesRepliesAgainOnceTheHostHasReadSome)
{
    ReplyQueue queue(4);
    queue.Schedule(0, Replies({"OK", "OK", "FE"}, false));
    EXPECT_EQ(queue.TakeDue(0).bytes, Text("OKOK"));
    queue.Schedule(10, Replies({"CE"}, false));
    EXPECT_EQ(queue.TakeDue(10).bytes, Text("CE"));
    EXPECT_EQ(queue.DroppedReplies(), 1U);
}

TEST(ReplyQueueBound, NeverDropsBytesPutBackAndCountsThemAgainstTheBound)
{
    ReplyQueue queue(2);
    queue.Schedule(0, Replies({"OK"}, false));
    ASSERT_EQ(queue.TakeDue(0).bytes, Text("OK"));
    queue.PutBack(Text("OK"));  // the line took none of them
    queue.Schedule(0, Replies({"FE"}, false));
    EXPECT_EQ(queue.DroppedReplies(), 1U) << "the bytes put back fill the queue";
    ASSERT_EQ(queue.TakeDue(0).bytes, Text("OK"));

    // A reply that came in while they were out leaves them no room; they go back all the same.
    queue.Schedule(0, Replies({"CE"}, false));
    ASSERT_EQ(queue.TakeDue(0).bytes, Text("CE"));
    queue.Schedule(0, Replies({"FE"}, false));
    queue.PutBack(Text("CE"));
    EXPECT_EQ(queue.TakeDue(0).bytes, Text("CEFE"));
    EXPECT_EQ(queue.DroppedReplies(), 1U);
}

TEST(ReplyQueueBound, VanishesEvenWhenTheLastReplyIsDropped)
{
    ReplyQueue queue(2);
    queue.Schedule(0, Replies({"OK"}, false));
    queue.Schedule(0, Reply({{100, Text("No")}}, true));
    const DueBytes before = queue.TakeDue(50);
    EXPECT_EQ(before.bytes, Text("OK"));
    EXPECT_FALSE(before.vanish);
    const DueBytes last = queue.TakeDue(100);
    EXPECT_EQ(last.bytes, ByteVector());
    EXPECT_TRUE(last.vanish);
    EXPECT_EQ(queue.DroppedReplies(), 1U);
}

TEST(ReplyQueueBound, DoesNotHoldRepliesUpBehindOnesItDropped)
{
    ReplyQueue queue(2);
    queue.Schedule(0, Reply({{0, Text("OK")}}));
    queue.Schedule(0, Reply({{9'000'000, Text("late")}}));  // dropped
    ASSERT_EQ(queue.TakeDue(0).bytes, Text("OK"));
    queue.PutBack(Text("K"));  // the line took only the "O"
    queue.Schedule(10, Reply({{0, Text("FE")}}));
    EXPECT_EQ(queue.TakeDue(10).bytes, Text("KFE"));
    EXPECT_EQ(queue.DroppedReplies(), 1U);
}

TEST(ReplyQueueBound, KeepsTheCountOfDroppedRepliesOverAClear)
{
    ReplyQueue queue(2);
    queue.Schedule(0, Replies({"OK", "FE"}, false));
    queue.Clear();
    queue.Schedule(0, Replies({"CE"}, false));
    EXPECT_EQ(queue.TakeDue(0).bytes, Text("CE"));
    EXPECT_EQ(queue.DroppedReplies(), 1U);
}

TEST(ReplyQueueBound, HoldsAFloodOfPingsToAFewKibibytesByDefault)
{
    KeyboardConfig config;
    config.paceWire = true;
    KeyboardModel keyboard(std::move(config));
    ReplyQueue queue;
    const ByteVector ping = test::PingFrame();
    constexpr std::uint64_t kPings = 10'000;
    for (std::uint64_t i = 0; i < kPings; ++i) {
        queue.Schedule(i, keyboard.Receive(ping, 115200, i));
    }
    const std::size_t waiting = queue.TakeDue(std::numeric_limits<std::uint64_t>::max()).bytes.size();
    const std::size_t identification = bootloader::kIdentification.size();
    EXPECT_GE(waiting, kMaxWaitingReplyBytes);
    EXPECT_LT(waiting, kMaxWaitingReplyBytes + identification);
    EXPECT_EQ(waiting % identification, 0U) << "only whole replies";
    EXPECT_EQ(queue.DroppedReplies(), kPings - waiting / identification);
}

} // namespace
} // namespace tavex
