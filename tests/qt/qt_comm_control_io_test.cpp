// Bytes in both directions over a pseudo-terminal, and the notifications
// they raise.

#include "control_fixture.h"

#include <chrono>
#include <numeric>
#include <thread>

namespace tavex::test {
namespace {

using ControlIo = ControlFixture;

using namespace std::chrono_literals;

TEST_F(ControlIo, OutputSendsEveryByteValueInOrderWithoutWaitingForTheEventLoop)
{
    control.SetPortOpen(true);
    Bytes rising(256);
    std::iota(rising.begin(), rising.end(), std::uint8_t{0});
    const Bytes falling(rising.rbegin(), rising.rend());
    control.SetOutput(rising);
    control.SetOutput(falling);

    const std::string received = peer.ReadWithoutEvents(512, 2s);
    Bytes expected = rising;
    expected.insert(expected.end(), falling.begin(), falling.end());
    EXPECT_EQ(BytesOf(received), expected);
}

struct ThresholdCase {
    const char* name;
    std::int16_t rThreshold;
    std::vector<std::string> chunks;        // sent by the peer one after another
    std::vector<std::size_t> eventsAfter;   // notifications so far, after each chunk

    friend void PrintTo(const ThresholdCase& value, std::ostream* out) { *out << value.name; }
};

class ReceiveThreshold : public ControlFixture, public testing::WithParamInterface<ThresholdCase> {};

TEST_P(ReceiveThreshold, NotifiesOnceTheThresholdIsMetAndInputTakesItAll)
{
    const ThresholdCase& threshold = GetParam();
    control.SetRThreshold(threshold.rThreshold);
    control.SetInputMode(1);
    control.SetPortOpen(true);
    std::string sent;
    for (std::size_t index = 0; index < threshold.chunks.size(); ++index) {
        peer.Write(threshold.chunks[index]);
        sent += threshold.chunks[index];
        AwaitEvents(threshold.eventsAfter[index]);
        EXPECT_EQ(events.size(), threshold.eventsAfter[index]) << "after chunk " << index;
    }
    EXPECT_EQ(events, std::vector<std::int16_t>(events.size(), comm_event::kReceive));
    EXPECT_EQ(control.GetInput(), BytesOf(sent));
}

INSTANTIATE_TEST_SUITE_P(
    Thresholds, ReceiveThreshold,
    testing::Values(ThresholdCase{"one", 1, {"\x06\x01\x02\x03\xFF"}, {1}},
                    ThresholdCase{"eight", 8, {"\x06\x01\x02\x03\xFF", "\x0D\x0A\x80"}, {0, 1}},
                    ThresholdCase{"none", 0, {"\x06\x01\x02", "\x03\x04"}, {0, 0}}),
    [](const testing::TestParamInfo<ThresholdCase>& info) { return std::string(info.param.name); });

struct InputLenCase {
    const char* name;
    std::int16_t inputLen;
    std::vector<std::size_t> takes;

    friend void PrintTo(const InputLenCase& value, std::ostream* out) { *out << value.name; }
};

class InputLength : public ControlFixture, public testing::WithParamInterface<InputLenCase> {};

TEST_P(InputLength, InputTakesEverythingOrAtMostInputLen)
{
    control.SetInputLen(GetParam().inputLen);
    control.SetRThreshold(5);
    control.SetPortOpen(true);
    peer.Write("abcde");
    AwaitEvents(1);
    std::string taken;
    for (const std::size_t size : GetParam().takes) {
        const Bytes input = control.GetInput();
        EXPECT_EQ(input.size(), size);
        taken.append(input.begin(), input.end());
    }
    EXPECT_EQ(taken, "abcde");
    EXPECT_TRUE(control.GetInput().empty());
}

INSTANTIATE_TEST_SUITE_P(Lengths, InputLength,
                         testing::Values(InputLenCase{"all", 0, {5}}, InputLenCase{"two", 2, {2, 2, 1}},
                                         InputLenCase{"more_than_waits", 9, {5}}),
                         [](const testing::TestParamInfo<InputLenCase>& info) { return std::string(info.param.name); });

struct FilterCase {
    const char* name;
    bool nullDiscard;
    bool eofEnable;
    Bytes input;
    std::vector<std::int16_t> events;
};

TEST_F(ControlIo, NullDiscardAndEndOfFileActOnArrivingBytes)
{
    const FilterCase cases[] = {
        {"bytes as sent", false, false, {'a', 0x00, 'b', 0x1A}, {}},
        {"nulls dropped", true, false, {'a', 'b', 0x1A}, {}},
        {"end of file notified", false, true, {'a', 0x00, 'b', 0x1A}, {comm_event::kEof}},
    };
    for (const FilterCase& filter : cases) {
        SCOPED_TRACE(filter.name);
        events.clear();
        control.SetNullDiscard(filter.nullDiscard);
        control.SetEOFEnable(filter.eofEnable);
        control.SetPortOpen(true);
        peer.Write(std::string("a\0b\x1A", 4));
        AwaitEvents(filter.events.size());
        EXPECT_EQ(events, filter.events);
        EXPECT_EQ(control.GetInput(), filter.input);
        control.SetPortOpen(false);
    }
}

// A reply that came while the event loop did not run waits in the driver,
// not in the control: dropping the input has to reach it there too, or it
// runs into the next reply.
TEST_F(ControlIo, InBufferCountZeroDropsWhatTheControlAndTheDriverHold)
{
    EXPECT_THROW(control.SetInBufferCount(0), CommControlError);  // closed
    control.SetRThreshold(1);
    control.SetPortOpen(true);
    peer.Write("AB");
    AwaitEvents(1);  // taken by the control
    peer.Write("OK");
    std::this_thread::sleep_for(std::chrono::milliseconds(100));  // into the driver, the loop not running
    EXPECT_THROW(control.SetInBufferCount(2), CommControlError);
    control.SetInBufferCount(0);
    peer.Write("XY");
    AwaitEvents(2);
    EXPECT_EQ(control.GetInput(), BytesOf("XY"));
}

TEST_F(ControlIo, NotifiesOnceTheOutputHasLeftWhenSThresholdIsSet)
{
    control.SetSThreshold(1);
    control.SetPortOpen(true);
    control.SetOutput(BytesOf("\x06\x01\x02"));
    AwaitEvents(1);
    EXPECT_EQ(events, (std::vector<std::int16_t>{comm_event::kSend}));

    control.SetSThreshold(0);
    control.SetOutput(BytesOf("\x06"));
    AwaitEvents(1);
    EXPECT_EQ(events.size(), 1U);
}

} // namespace
} // namespace tavex::test
