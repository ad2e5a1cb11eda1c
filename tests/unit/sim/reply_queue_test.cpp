#include "sim/reply_queue.h"

#include "frame_bytes.h"

#include <gtest/gtest.h>

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

} // namespace
} // namespace tavex
