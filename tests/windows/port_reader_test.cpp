// The Win32 port reader over a scripted driver: every order in which a
// driver has been seen to end a wait or a read still brings the bytes to the
// owner, within a bound, and a lost device or a stop ends the reader.

#include "fake_reader_calls.h"
#include "serial/win32/port_reader.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

namespace tavex {
namespace {

using namespace std::chrono_literals;
using test::Ending;
using test::FakeReaderCalls;
using test::Script;
using Clock = std::chrono::steady_clock;

const HANDLE kPort = reinterpret_cast<HANDLE>(0x1234);

struct ReaderFixture {
    explicit ReaderFixture(const std::function<void(FakeReaderCalls&)>& script = {})
    {
        if (script) {
            script(driver);
        }
        reader = std::make_unique<PortReader>(kPort, driver, [this] {
            ++announcements;
            return true;
        });
    }

    // Everything the reader hands over until done() holds or the time is up.
    ReaderNews Collect(const std::function<bool(const ReaderNews&)>& done, std::chrono::milliseconds limit = 5s)
    {
        const Clock::time_point giveUp = Clock::now() + limit;
        while (!done(collected) && Clock::now() < giveUp) {
            std::this_thread::sleep_for(1ms);
            ReaderNews news = reader->Take();
            collected.bytes.insert(collected.bytes.end(), news.bytes.begin(), news.bytes.end());
            collected.lineErrors |= news.lineErrors;
            if (news.lostError) {
                collected.lostError = news.lostError;
            }
        }
        return collected;
    }

    std::string CollectBytes(std::size_t count)
    {
        const ReaderNews news = Collect([count](const ReaderNews& n) { return n.bytes.size() >= count || n.lostError; });
        return std::string(news.bytes.begin(), news.bytes.end());
    }

    FakeReaderCalls driver;
    std::atomic<int> announcements{0};
    ReaderNews collected;
    std::unique_ptr<PortReader> reader;
};

struct OrderCase {
    const char* name;
    std::deque<Script> waits;
    std::deque<Script> reads;
};

// Bytes come 20 ms after the reader started; the reply must reach the
// owner, well within the session's reply time, however the driver ends
// its operations.
TEST(PortReaderOrders, EveryOrderOfCompletionStillBringsTheBytes)
{
    const OrderCase cases[] = {
        {"a driver that behaves", {}, {}},
        {"a wait signalled whose result never comes (wine)", {{Ending::kSignalledWithoutResult}}, {}},
        {"a wait whose result comes before its event", {{Ending::kResultWithoutSignal}}, {}},
        {"a wait that never ends, not even when cancelled, and refuses the next", {{Ending::kNeverEnds}}, {}},
        {"waits that end at once as aborted (wine on a pty)", {{Ending::kAbortedAtOnce}, {Ending::kAbortedAtOnce}}, {}},
        {"a read that brings nothing", {}, {{Ending::kZeroBytes}}},
        {"a read signalled whose result never comes", {}, {{Ending::kSignalledWithoutResult}}},
        {"a read whose result comes before its event", {}, {{Ending::kResultWithoutSignal}}},
        {"a read that never ends", {}, {{Ending::kNeverEnds}}},
    };
    for (const OrderCase& order : cases) {
        SCOPED_TRACE(order.name);
        ReaderFixture fixture([&](FakeReaderCalls& driver) {
            driver.ScriptWaits(order.waits);
            driver.ScriptReads(order.reads);
        });
        ASSERT_TRUE(fixture.reader->Started());
        std::this_thread::sleep_for(20ms);
        fixture.driver.Arrive("OK");
        EXPECT_EQ(fixture.CollectBytes(2), "OK");
        // and the reader goes on
        fixture.driver.Arrive("!");
        EXPECT_EQ(fixture.CollectBytes(3), "OK!");
        EXPECT_FALSE(fixture.collected.lostError);
        fixture.reader->Stop();
        EXPECT_FALSE(fixture.driver.Counted().unfinishedReused);
    }
}

TEST(PortReaderOrders, LineErrorsAreHandedWithoutBytes)
{
    ReaderFixture fixture;
    fixture.driver.LineErrors(CE_FRAME | CE_BREAK);
    const ReaderNews news = fixture.Collect([](const ReaderNews& n) { return n.lineErrors != 0; });
    EXPECT_EQ(news.lineErrors, static_cast<DWORD>(CE_FRAME | CE_BREAK));
    EXPECT_TRUE(news.bytes.empty());
}

// The owner is told once until it takes; then again for what comes next.
TEST(PortReaderOrders, TheOwnerIsToldOnceUntilItTakes)
{
    ReaderFixture fixture;
    fixture.driver.Arrive("A");
    std::this_thread::sleep_for(50ms);
    fixture.driver.Arrive("B");
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(fixture.announcements, 1);
    EXPECT_EQ(std::string(fixture.reader->Take().bytes.size(), '.'), "..");
    fixture.driver.Arrive("C");
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(fixture.announcements, 2);
}

// Waits that end at once with nothing, over and over, are not asked again
// at once: the reader pauses between them.
TEST(PortReaderOrders, EmptyRoundsDoNotSpin)
{
    ReaderFixture fixture([](FakeReaderCalls& driver) { driver.ScriptWaits({}, Ending::kAbortedAtOnce); });
    std::this_thread::sleep_for(300ms);
    const int waits = fixture.driver.Counted().waits;
    EXPECT_GT(waits, 5);
    EXPECT_LT(waits, 100);
}

struct LossCase {
    const char* name;
    std::function<void(FakeReaderCalls&)> script;
    DWORD error;
};

// A device that fails is reported once, with the system's reason, and the
// reader asks nothing more of it.
TEST(PortReaderLoss, AFailingDeviceIsReportedAndLeftAlone)
{
    const LossCase cases[] = {
        {"a wait refused at once",
         [](FakeReaderCalls& d) { d.ScriptWaits({{Ending::kFails, ERROR_ACCESS_DENIED}}); }, ERROR_ACCESS_DENIED},
        {"a wait that ends failed",
         [](FakeReaderCalls& d) { d.ScriptWaits({{Ending::kFailsLater, ERROR_BAD_COMMAND}}); }, ERROR_BAD_COMMAND},
        {"the driver's state refused",
         [](FakeReaderCalls& d) {
             d.ScriptWaits({{Ending::kAbortedAtOnce}});
             d.FailClearCommError(ERROR_ACCESS_DENIED);
         },
         ERROR_ACCESS_DENIED},
        {"a read refused at once (the other end of a pty closed)",
         [](FakeReaderCalls& d) {
             d.ScriptReads({{Ending::kFails, ERROR_BROKEN_PIPE}});
             d.Arrive("x");
         },
         ERROR_BROKEN_PIPE},
        {"a read that ends failed",
         [](FakeReaderCalls& d) {
             d.ScriptReads({{Ending::kFailsLater, ERROR_DEVICE_NOT_CONNECTED}});
             d.Arrive("x");
         },
         ERROR_DEVICE_NOT_CONNECTED},
        {"the wait for an operation refused",
         [](FakeReaderCalls& d) { d.FailOperationWaits(ERROR_INVALID_HANDLE); }, ERROR_INVALID_HANDLE},
    };
    for (const LossCase& loss : cases) {
        SCOPED_TRACE(loss.name);
        ReaderFixture fixture(loss.script);
        const ReaderNews news = fixture.Collect([](const ReaderNews& n) { return n.lostError.has_value(); });
        ASSERT_TRUE(news.lostError);
        EXPECT_EQ(*news.lostError, loss.error);
        EXPECT_EQ(fixture.announcements, 1);
        const int callsAtLoss = fixture.driver.Counted().calls;
        std::this_thread::sleep_for(50ms);
        EXPECT_EQ(fixture.driver.Counted().calls, callsAtLoss);
    }
}

struct StopCase {
    const char* name;
    Ending pendingWait;
    std::chrono::milliseconds mostTime;
};

// A stop while a wait is pending cancels it and ends the reader at once;
// a driver that never ends the wait gets a second.
TEST(PortReaderStop, AStopEndsAPendingWait)
{
    const StopCase cases[] = {
        {"a wait the cancel ends", Ending::kBehaves, 60ms},
        {"a wait nothing ends: given a second", Ending::kNeverEnds, 1500ms},
    };
    for (const StopCase& stop : cases) {
        SCOPED_TRACE(stop.name);
        ReaderFixture fixture([&](FakeReaderCalls& d) { d.ScriptWaits({{stop.pendingWait}}); });
        std::this_thread::sleep_for(30ms);  // inside the first wait's bound
        const Clock::time_point asked = Clock::now();
        fixture.reader->Stop();
        EXPECT_LT(Clock::now() - asked, stop.mostTime);
        const FakeReaderCalls::Counts counts = fixture.driver.Counted();
        EXPECT_EQ(counts.waits, 1);
        EXPECT_GE(counts.cancels, 1);
        EXPECT_EQ(fixture.reader->Take().lostError, std::nullopt);
    }
}

} // namespace
} // namespace tavex
