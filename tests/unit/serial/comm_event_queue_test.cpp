// The notification rules of every comm control, on a loop of the test's own.

#include "serial/comm_control.h"
#include "serial/comm_event_queue.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

namespace tavex {
namespace {

struct CommEventQueueTest : testing::Test {
    // Runs the turns asked for so far, and those they ask for.
    void RunLoop()
    {
        while (turnsAsked > 0) {
            --turnsAsked;
            queue.DeliverPending();
        }
    }

    int turnsAsked = 0;
    bool receiveStillDue = true;
    CommEventQueue queue{[this](std::int16_t commEvent) { return commEvent != comm_event::kReceive || receiveStillDue; },
                         [this] {
                             ++turnsAsked;
                             return true;
                         }};
    std::vector<std::int16_t> delivered;
};

TEST_F(CommEventQueueTest, DeliversFromTheLoopOnlyEachWaitingEventOnce)
{
    queue.SetOnComm([this] { delivered.push_back(queue.LastEvent()); });
    queue.Raise(comm_event::kReceive);
    queue.Raise(comm_event::kFrame);
    queue.Raise(comm_event::kReceive);
    EXPECT_TRUE(delivered.empty()) << "delivered inside Raise";
    RunLoop();
    EXPECT_EQ(delivered, (std::vector<std::int16_t>{comm_event::kReceive, comm_event::kFrame}));

    receiveStillDue = false;  // the bytes were taken before the turn came
    queue.Raise(comm_event::kReceive);
    RunLoop();
    EXPECT_EQ(delivered.size(), 2U);
}

// A handler that runs a loop of its own (a modal message box) gets the next
// notification only once it has returned.
TEST_F(CommEventQueueTest, NeverNestsAHandlerThatRunsTheLoopInItsOwnCall)
{
    int depth = 0;
    int deepest = 0;
    queue.SetOnComm([&] {
        ++depth;
        deepest = std::max(deepest, depth);
        delivered.push_back(queue.LastEvent());
        if (queue.LastEvent() == comm_event::kReceive) {
            queue.Raise(comm_event::kEof);
            RunLoop();
        }
        --depth;
    });
    queue.Raise(comm_event::kReceive);
    RunLoop();
    EXPECT_EQ(deepest, 1);
    EXPECT_EQ(delivered, (std::vector<std::int16_t>{comm_event::kReceive, comm_event::kEof}));
}

TEST_F(CommEventQueueTest, AClearedQueueDeliversNothing)
{
    queue.SetOnComm([this] { delivered.push_back(queue.LastEvent()); });
    queue.Raise(comm_event::kReceive);
    queue.Clear();
    RunLoop();
    EXPECT_TRUE(delivered.empty());
    EXPECT_EQ(queue.LastEvent(), 0);
}

} // namespace
} // namespace tavex
