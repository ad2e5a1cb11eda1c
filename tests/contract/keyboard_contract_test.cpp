// The comm control's contract with a keyboard behind it, the same on every
// platform.

#include "keyboard_contract.h"

#include "serial/port_reasons.h"

#include <utility>

namespace tavex::test {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

TEST_F(KeyboardLink, APingIsAnsweredThroughOnCommOnTheOwningThread)
{
    control.SetPortOpen(true);
    EXPECT_EQ(Exchange(kPing, kIdentification.size()), kIdentification);
    EXPECT_EQ(events, std::vector<std::int16_t>{comm_event::kReceive});
    EXPECT_EQ(handlerThreads, std::vector<std::thread::id>{std::this_thread::get_id()});
}

TEST_F(KeyboardLink, AnswersAMalformedFrameWithItsComplaint)
{
    const std::pair<const char*, std::pair<Bytes, std::string>> cases[] = {
        {"bad checksum", {{'C', '0', 0x01, 0x00}, "CE"}},
        {"unknown command", {{'Z', '9', 0x01, 0xFE}, "FE"}},
    };
    control.SetPortOpen(true);
    for (const auto& [name, exchange] : cases) {
        SCOPED_TRACE(name);
        events.clear();
        const Bytes reply = Exchange(exchange.first, 2);
        EXPECT_EQ(std::string(reply.begin(), reply.end()), exchange.second);
    }
}

// A reply that came while the loop did not run waits below the control (in
// the driver, or with the platform's reader): InBufferCount 0 drops it there
// too, or it would run into the next reply.
TEST_F(KeyboardLink, InBufferCountZeroDropsAReplyNotYetHandedOver)
{
    EXPECT_THROW(control.SetInBufferCount(0), CommControlError);  // closed
    control.SetPortOpen(true);
    control.SetOutput(kPing);
    std::this_thread::sleep_for(300ms);  // the identification arrives; the loop does not run
    EXPECT_THROW(control.SetInBufferCount(1), CommControlError);
    control.SetInBufferCount(0);
    EXPECT_EQ(Exchange(kPing, kIdentification.size()), kIdentification);
    RunLoopFor(300ms);  // a reply left behind would come after it
    EXPECT_EQ(control.GetInput(), Bytes{});
    EXPECT_EQ(events, std::vector<std::int16_t>{comm_event::kReceive});
}

TEST_F(KeyboardLink, InputLenAndRThresholdShapeWhatArrives)
{
    control.SetInputLen(5);
    control.SetPortOpen(true);
    control.SetRThreshold(static_cast<std::int16_t>(kIdentification.size()));
    control.SetOutput(kPing);
    ASSERT_TRUE(RunLoopUntil([&] { return !events.empty(); }));
    Bytes taken;
    for (Bytes piece = control.GetInput(); !piece.empty(); piece = control.GetInput()) {
        EXPECT_LE(piece.size(), 5U);
        taken.insert(taken.end(), piece.begin(), piece.end());
    }
    EXPECT_EQ(taken, kIdentification);
    RunLoopFor(100ms);
    EXPECT_EQ(events.size(), 1U) << "a receive notification for bytes already taken";
}

TEST_F(KeyboardLink, RefusesToChangeThePortOrItsBuffersWhileOpen)
{
    control.SetPortOpen(true);
    const std::pair<const char*, std::function<void()>> cases[] = {
        {"CommPort", [&] { control.SetCommPort(2); }},
        {"InBufferSize", [&] { control.SetInBufferSize(2048); }},
        {"OutBufferSize", [&] { control.SetOutBufferSize(1024); }},
        {"device path", [&] { control.SetDevicePath(keyboard.Device()); }},
        {"opening again", [&] { control.SetPortOpen(true); }},
    };
    for (const auto& [name, run] : cases) {
        SCOPED_TRACE(name);
        EXPECT_THROW(run(), CommControlError);
    }
    EXPECT_TRUE(control.GetPortOpen());
}

// The simulator's pseudo-terminal has no modem lines; RTS under RTS/CTS
// handshaking is the driver's. Neither may fail a write nor the open.
TEST_F(KeyboardLink, AcceptsModemLineWritesTheDeviceCannotCarryOut)
{
    for (const std::int32_t handshaking : {0, 1, 2, 3}) {
        SCOPED_TRACE(handshaking);
        events.clear();
        control.SetHandshaking(handshaking);
        ASSERT_NO_THROW(control.SetPortOpen(true));
        EXPECT_NO_THROW(control.SetRTSEnable(false));
        EXPECT_NO_THROW(control.SetRTSEnable(true));
        EXPECT_NO_THROW(control.SetDTREnable(false));
        EXPECT_NO_THROW(control.SetHandshaking(handshaking == 2 ? 0 : 2));
        EXPECT_EQ(Exchange(kPing, kIdentification.size()), kIdentification);
        control.SetPortOpen(false);
    }
}

TEST_F(KeyboardLink, ASecondOpenOfThePortIsRefusedAsInUse)
{
    control.SetPortOpen(true);
    const std::unique_ptr<CommControl> second = MakeContractControl();
    second->SetDevicePath(keyboard.Device());
    try {
        second->SetPortOpen(true);
        FAIL() << "the port opened twice";
    } catch (const CommControlError& error) {
        const std::string inUse = second->DeviceName() + ": " + port_reason::kInUse;
        EXPECT_EQ(std::string(error.what()).substr(0, inUse.size()), inUse);  // Linux adds who holds it
        EXPECT_EQ(error.Category(), ErrorCategory::kInUse);
    }
    EXPECT_FALSE(second->GetPortOpen());
    EXPECT_EQ(Exchange(kPing, kIdentification.size()), kIdentification);

    control.SetPortOpen(false);
    EXPECT_NO_THROW(second->SetPortOpen(true));
}

TEST_F(KeyboardLink, SThresholdNotifiesOnceTheOutputHasGone)
{
    control.SetSThreshold(1);
    control.SetPortOpen(true);
    control.SetOutput({0x00});
    EXPECT_TRUE(events.empty()) << "notified inside the write";
    // The write completes on the system's time, which a busy machine stretches.
    EXPECT_TRUE(RunLoopUntil([&] { return !events.empty(); }, 3s));
    RunLoopFor(100ms);
    EXPECT_EQ(events, std::vector<std::int16_t>{comm_event::kSend});

    control.SetSThreshold(0);
    control.SetOutput({0x00});
    RunLoopFor(100ms);
    EXPECT_EQ(events.size(), 1U);
}

// The pseudo-terminal takes bytes at once and reports its queue empty, as a
// USB adapter's driver does while the adapter still sends: the wire time is
// what the close has to go by, at most a second of it.
TEST_F(KeyboardLink, CloseWaitsForTheWireTimeButNoLongerThanItsBound)
{
    struct CloseCase {
        const char* settings;
        std::size_t bytes;
        std::chrono::milliseconds atLeast;
        std::chrono::milliseconds below;
    };
    const CloseCase cases[] = {
        {"19200,N,8,1", 480, 250ms, 3s},  // 250 ms on the wire
        {"300,N,8,1", 200, 1000ms, 3s},   // 6.7 s on the wire: the close gives up after 1 s
    };
    for (const CloseCase& close : cases) {
        SCOPED_TRACE(close.settings);
        control.SetHandshaking(0);
        control.SetSettings(close.settings);
        control.SetPortOpen(true);
        const Clock::time_point written = Clock::now();
        control.SetOutput(Bytes(close.bytes, 0x00));
        control.SetPortOpen(false);
        const Clock::duration took = Clock::now() - written;
        EXPECT_GE(took, close.atLeast);
        EXPECT_LT(took, close.below);
        EXPECT_FALSE(control.GetPortOpen());
    }
}

TEST_F(KeyboardBytes, NullDiscardAndEndOfFileActOnArrivingBytes)
{
    struct FilterCase {
        const char* name;
        bool nullDiscard;
        bool eofEnable;
        Bytes input;
        std::vector<std::int16_t> events;
    };
    const FilterCase cases[] = {
        {"bytes as sent", false, false, {'a', 0x00, 'b', 0x1A}, {comm_event::kReceive}},
        {"nulls dropped", true, false, {'a', 'b', 0x1A}, {comm_event::kReceive}},
        {"end of file notified", false, true, {'a', 0x00, 'b', 0x1A}, {comm_event::kEof, comm_event::kReceive}},
    };
    for (const FilterCase& filter : cases) {
        SCOPED_TRACE(filter.name);
        events.clear();
        control.SetNullDiscard(filter.nullDiscard);
        control.SetEOFEnable(filter.eofEnable);
        control.SetRThreshold(3);
        control.SetPortOpen(true);
        control.SetOutput(kPing);
        RunLoopUntil([&] { return events.size() >= filter.events.size(); });
        RunLoopFor(100ms);
        EXPECT_EQ(events, filter.events);
        EXPECT_EQ(control.GetInput(), filter.input);
        control.SetPortOpen(false);
    }
}

TEST_F(KeyboardSpeed, TheLineSpeedReachesTheDeviceWhetherSetBeforeOrAfterTheOpen)
{
    control.SetPortOpen(true);
    EXPECT_TRUE(Exchange(kPing, kIdentification.size(), 700ms).empty()) << "answered at 19200";
    EXPECT_TRUE(events.empty());

    control.SetSettings("57600,N,8,1");
    EXPECT_EQ(Exchange(kPing, kIdentification.size()), kIdentification);
    control.SetPortOpen(false);

    events.clear();
    control.SetSettings("19200,N,8,1");
    control.SetPortOpen(true);
    EXPECT_TRUE(Exchange(kPing, kIdentification.size(), 700ms).empty()) << "answered at 19200";
    control.SetPortOpen(false);

    events.clear();
    control.SetSettings("57600,N,8,1");
    control.SetPortOpen(true);
    EXPECT_EQ(Exchange(kPing, kIdentification.size()), kIdentification);
}

TEST_F(KeyboardLoss, ALostDeviceClosesThePortWithOneDcbNotification)
{
    control.SetRThreshold(static_cast<std::int16_t>(kIdentification.size()));
    control.SetPortOpen(true);
    control.SetOutput(kPing);
    EXPECT_TRUE(RunLoopUntil([&] { return !events.empty(); }, 3s));
    RunLoopFor(300ms);

    EXPECT_EQ(events, std::vector<std::int16_t>{comm_event::kDcb});
    EXPECT_EQ(handlerThreads, std::vector<std::thread::id>{std::this_thread::get_id()});
    EXPECT_FALSE(control.GetPortOpen());
    EXPECT_THROW(control.GetInput(), CommControlError);
    EXPECT_THROW(control.SetOutput(kPing), CommControlError);
}

} // namespace
} // namespace tavex::test
