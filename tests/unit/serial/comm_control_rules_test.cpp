// The comm control's own rules, on a back end of the test's: what it
// refuses, what it keeps while closed, what it does when the port refuses or
// goes, and how long a close waits. Every platform's control is this one.

#include "serial/comm_control_core.h"

#include <gtest/gtest.h>

#include <chrono>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tavex {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using Bytes = std::vector<std::uint8_t>;

// A port in memory. Turns asked for wait until the test runs them.
class FakeBackend : public PortBackend {
public:
    std::string ComDevice(std::int16_t comNumber) const override { return "com" + std::to_string(comNumber); }
    void Open(const std::string& device, const PortState& state, std::int16_t, std::int16_t) override
    {
        opened.push_back(device);
        applied = state;
        open = true;
    }
    void Close() override { open = false; }
    bool IsOpen() const override { return open; }
    std::optional<std::string> Configure(const PortState& state) override
    {
        if (refuseConfigure) {
            refuseConfigure = false;
            return "refused";
        }
        applied = state;
        return std::nullopt;
    }
    std::optional<std::string> SetModemLine(ModemLine line, bool assert) override
    {
        lines.push_back({line, assert});
        return std::nullopt;
    }
    std::optional<std::string> Write(const Bytes& bytes) override
    {
        written.insert(written.end(), bytes.begin(), bytes.end());
        return std::nullopt;
    }
    std::size_t BytesHeldForWriting() const override { return 0; }
    bool OutputQueued() override { return Clock::now() < outputQueuedUntil; }
    void DropOutput() override { ++outputDrops; }
    Arrived TakeArrived() override { return std::exchange(arrived, Arrived{}); }
    std::optional<std::string> DropInput() override
    {
        arrived.bytes.clear();
        return std::nullopt;
    }
    bool RequestArrivedTurn() override
    {
        turns.push_back([this] { listener_->OnArrived(); });
        return true;
    }
    bool RequestDeliveryTurn() override
    {
        turns.push_back([this] { listener_->OnDeliveryTurn(); });
        return true;
    }

    void RunTurns()
    {
        while (!turns.empty()) {
            const std::function<void()> turn = turns.front();
            turns.pop_front();
            turn();
        }
    }

    bool open = false;
    bool refuseConfigure = false;
    std::vector<std::string> opened;
    PortState applied;
    std::vector<std::pair<ModemLine, bool>> lines;
    Bytes written;
    Clock::time_point outputQueuedUntil;
    int outputDrops = 0;
    Arrived arrived;
    std::deque<std::function<void()>> turns;
};

struct CommControlRules : testing::Test {
    CommControlRules()
    {
        control.SetOnComm([this] { events.push_back(control.GetCommEvent()); });
    }

    FakeBackend* backend = new FakeBackend;
    CommControl control{std::unique_ptr<PortBackend>(backend)};
    std::vector<std::int16_t> events;
};

TEST_F(CommControlRules, RefusesValuesOutsideEachPropertysRange)
{
    const std::pair<const char*, std::function<void()>> cases[] = {
        {"CommPort 0", [&] { control.SetCommPort(0); }},
        {"CommPort 17", [&] { control.SetCommPort(17); }},
        {"CommPort -1", [&] { control.SetCommPort(-1); }},
        {"Settings", [&] { control.SetSettings("19200,N,9,1"); }},
        {"Handshaking 4", [&] { control.SetHandshaking(4); }},
        {"Handshaking -1", [&] { control.SetHandshaking(-1); }},
        {"InputMode 2", [&] { control.SetInputMode(2); }},
        {"RThreshold -1", [&] { control.SetRThreshold(-1); }},
        {"InputLen -1", [&] { control.SetInputLen(-1); }},
        {"SThreshold -1", [&] { control.SetSThreshold(-1); }},
        {"InBufferSize 0", [&] { control.SetInBufferSize(0); }},
        {"OutBufferSize -512", [&] { control.SetOutBufferSize(-512); }},
        {"ParityReplace of two", [&] { control.SetParityReplace("??"); }},
        {"Output while closed", [&] { control.SetOutput({0x06}); }},
        {"Input while closed", [&] { control.GetInput(); }},
        {"InBufferCount while closed", [&] { control.SetInBufferCount(0); }},
    };
    for (const auto& [name, run] : cases) {
        SCOPED_TRACE(name);
        EXPECT_THROW(run(), CommControlError);
    }
    EXPECT_NO_THROW(control.SetCommPort(1));
    EXPECT_NO_THROW(control.SetCommPort(16));
    EXPECT_NO_THROW(control.SetPortOpen(false));
    EXPECT_FALSE(control.GetPortOpen());
    EXPECT_TRUE(backend->opened.empty());
}

// Everything written while closed reaches the port as it opens; the modem
// lines after the line settings, RTS left to the driver under RTS/CTS.
TEST_F(CommControlRules, KeepsWhatIsWrittenWhileClosedForTheOpen)
{
    control.SetCommPort(12);
    control.SetSettings("57600,E,7,2");
    control.SetHandshaking(2);
    control.SetRTSEnable(true);
    control.SetDTREnable(true);
    control.SetPortOpen(true);

    EXPECT_EQ(backend->opened, std::vector<std::string>{"com12"});
    EXPECT_EQ(backend->applied.line.baudRate, 57600);
    EXPECT_EQ(backend->applied.handshaking, 2);
    EXPECT_EQ(backend->lines, (std::vector<std::pair<ModemLine, bool>>{{ModemLine::kDtr, true}}));

    control.SetHandshaking(0);  // RTS is the control's again
    EXPECT_EQ(backend->lines.back(), std::make_pair(ModemLine::kRts, true));
}

TEST_F(CommControlRules, ADevicePathStandsForTheComNumberUntilEmptied)
{
    control.SetCommPort(3);
    control.SetDevicePath("/dev/keyboard");
    EXPECT_EQ(control.DeviceName(), "/dev/keyboard");
    control.SetDevicePath("");
    EXPECT_EQ(control.DeviceName(), "com3");
}

TEST_F(CommControlRules, AnOpenPortThatRefusesNewSettingsKeepsTheOldOnes)
{
    control.SetPortOpen(true);
    backend->refuseConfigure = true;
    try {
        control.SetSettings("57600,N,8,1");
        FAIL() << "the refusal was not passed on";
    } catch (const CommControlError& error) {
        EXPECT_EQ(std::string(error.what()), "the port refused Settings \"57600,N,8,1\": refused");
    }
    EXPECT_EQ(backend->applied.line.baudRate, 9600);
    EXPECT_NO_THROW(control.SetSettings("57600,N,8,1"));
    EXPECT_EQ(backend->applied.line.baudRate, 57600);
}

// A loss is acted on at a turn of the loop, never inside the call that saw
// it: one DCB notification, the port closed, nothing delivered for bytes.
TEST_F(CommControlRules, ALostDeviceClosesThePortAtTheNextTurnWithOneDcbNotification)
{
    control.SetRThreshold(1);
    control.SetPortOpen(true);
    backend->arrived.bytes = "K";
    backend->arrived.lost = true;
    EXPECT_EQ(control.GetInput(), Bytes{'K'});
    EXPECT_TRUE(control.GetPortOpen()) << "closed inside Input";
    backend->RunTurns();

    EXPECT_FALSE(control.GetPortOpen());
    EXPECT_EQ(events, std::vector<std::int16_t>{comm_event::kDcb});
    EXPECT_THROW(control.GetInput(), CommControlError);
}

TEST_F(CommControlRules, ReceiveIsNotifiedOnlyWhileRThresholdBytesWait)
{
    control.SetRThreshold(3);
    control.SetPortOpen(true);
    backend->arrived.bytes = "ab";
    backend->RequestArrivedTurn();
    backend->RunTurns();
    EXPECT_TRUE(events.empty());

    backend->arrived.bytes = "c";
    backend->RequestArrivedTurn();
    backend->RunTurns();
    EXPECT_EQ(events, std::vector<std::int16_t>{comm_event::kReceive});
    EXPECT_EQ(control.GetInput(), (Bytes{'a', 'b', 'c'}));
}

// Bytes the port still holds keep the close waiting after their wire time,
// up to the close's bound; then they are dropped.
TEST_F(CommControlRules, CloseWaitsWhileThePortStillHoldsOutputUpToItsBound)
{
    const struct {
        const char* name;
        std::chrono::milliseconds held;
        std::chrono::milliseconds atLeast;
        int drops;
    } cases[] = {
        {"held 300 ms", 300ms, 300ms, 0},
        {"held for good", 60s, 1000ms, 1},
    };
    control.SetSettings("115200,N,8,1");
    for (const auto& close : cases) {
        SCOPED_TRACE(close.name);
        backend->outputQueuedUntil = {};
        backend->outputDrops = 0;
        control.SetPortOpen(true);
        control.SetOutput({0x55});  // a tenth of a millisecond on the wire
        backend->outputQueuedUntil = Clock::now() + close.held;
        const Clock::time_point closing = Clock::now();
        control.SetPortOpen(false);
        const Clock::duration took = Clock::now() - closing;
        EXPECT_GE(took, close.atLeast);
        EXPECT_LT(took, close.atLeast + 2s);
        EXPECT_EQ(backend->outputDrops, close.drops);
        EXPECT_FALSE(control.GetPortOpen());
    }
}

} // namespace
} // namespace tavex
