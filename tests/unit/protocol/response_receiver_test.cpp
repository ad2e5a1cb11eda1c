#include "protocol/com_port_event_handler.h"

#include "protocol/bootloader_frames.h"
#include "support/configured_handler.h"

#include <gtest/gtest.h>

#include <cstring>

namespace tavex {
namespace {

using Bytes = std::vector<std::uint8_t>;
using test::ConfiguredHandler;

Bytes Identification() { return {bootloader::kIdentification.begin(), bootloader::kIdentification.end()}; }

Bytes WrongLastByte()
{
    Bytes pong = Identification();
    pong.back() = 0x51;
    return pong;
}

Bytes KeyboardId(char second, std::uint8_t hardware)
{
    return {'K', static_cast<std::uint8_t>(second), '1', '0', '2', '4', hardware, 'S', 'N', '0', '0', '0', '7', 0, 0, 1};
}

Bytes DataReply(bool goodCheck)
{
    Bytes reply = {'D', 'T'};
    std::uint8_t check = 0;
    for (std::uint8_t i = 0; i < 16; ++i) {
        reply.push_back(static_cast<std::uint8_t>(0x30 + i));
        check = static_cast<std::uint8_t>(check ^ (0x30 + i));
    }
    reply.push_back(goodCheck ? check : static_cast<std::uint8_t>(check + 1));
    return reply;
}

struct ReplyCase {
    const char* name;
    ProtocolState awaiting;
    std::vector<Bytes> pieces;
    ProtocolState outcome;  // the state after the last piece
    std::int32_t rxCount;
    int posted;
};

void PrintTo(const ReplyCase& c, std::ostream* out) { *out << c.name; }

class Reply : public testing::TestWithParam<ReplyCase> {};

TEST_P(Reply, IsRecognisedOnceExactlyItsLengthHasArrived)
{
    const ReplyCase& c = GetParam();
    ConfiguredHandler fixture;
    fixture.handler.SetState(c.awaiting);
    for (const Bytes& piece : c.pieces) {
        fixture.Arrive(piece);
    }
    EXPECT_EQ(fixture.handler.GetState(), c.outcome);
    EXPECT_EQ(fixture.handler.RxCount(), c.rxCount);
    EXPECT_EQ(fixture.window.posted, c.posted);
    EXPECT_EQ(fixture.handler.GetLastEvent(), kEventReceive);
}

const Bytes kPong = Identification();

INSTANTIATE_TEST_SUITE_P(
    Replies, Reply,
    testing::Values(
        ReplyCase{"PongInOnePiece", bpStateSENT_C0, {kPong}, bpStateRECEIVE_C0, 0, 1},
        ReplyCase{"PongInTwoPieces", bpStateSENT_C0, {Bytes(kPong.begin(), kPong.begin() + 10),
                                                      Bytes(kPong.begin() + 10, kPong.end())},
                  bpStateRECEIVE_C0, 0, 1},
        ReplyCase{"PongHalfWay", bpStateSENT_C0, {Bytes(kPong.begin(), kPong.begin() + 10)}, bpStateSENT_C0, 10, 0},
        ReplyCase{"PongWithWrongLastByte", bpStateSENT_C0, {WrongLastByte()}, bpStateRECEIVE_UK, 0, 1},
        ReplyCase{"OkToWriteBlock", bpStateSENT_S2, {{'O', 'K'}}, bpStateRECEIVE_OK, 0, 1},
        ReplyCase{"OkByteByByte", bpStateSENT_C1, {{'O'}, {'K'}}, bpStateRECEIVE_OK, 0, 1},
        ReplyCase{"LowerCaseOk", bpStateSENT_S2, {{'o', 'k'}}, bpStateRECEIVE_UK, 0, 1},
        ReplyCase{"UnknownPair", bpStateSENT_S2, {{'X', 'Y'}}, bpStateRECEIVE_UK, 0, 1},
        ReplyCase{"CommunicationError", bpStateSENT_S8, {{'C', 'E'}}, bpStateRECEIVE_CE, 0, 1},
        ReplyCase{"CommandError", bpStateSENT_C1, {{'F', 'E'}}, bpStateRECEIVE_FE, 0, 1},
        ReplyCase{"LongerThanAwaitedIsNeverRecognised", bpStateSENT_S2, {{'O', 'K', 'O'}}, bpStateSENT_S2, 3, 0},
        ReplyCase{"KeyboardId", bpStateSENT_T7, {KeyboardId('B', 3)}, bpStateRECEIVE_T7, 0, 1},
        ReplyCase{"KeyboardIdNotBeginningKB", bpStateSENT_T7, {KeyboardId('A', 3)}, bpStateRECEIVE_UK, 16, 1},
        ReplyCase{"DataReply", bpStateSENT_T0, {DataReply(true)}, bpStateRECEIVE_DT, 16, 1},
        ReplyCase{"DataReplyWithWrongCheck", bpStateSENT_T0, {DataReply(false)}, bpStateRECEIVE_UK, 19, 1}),
    [](const testing::TestParamInfo<ReplyCase>& info) { return info.param.name; });

TEST(ResponseReceiver, StoresTheKeyboardIdEvenWhenItIsRefused)
{
    ConfiguredHandler fixture;
    fixture.handler.SetState(bpStateSENT_T7);
    fixture.Arrive(KeyboardId('A', 9));
    EXPECT_EQ(fixture.handler.KeyboardId()[0], 'K');
    EXPECT_EQ(fixture.handler.KeyboardId()[1], 'A');
    EXPECT_EQ(fixture.handler.KeyboardId()[6], 9);
}

TEST(ResponseReceiver, MovesTheDataOfADataReplyToTheStart)
{
    ConfiguredHandler fixture;
    fixture.handler.SetState(bpStateSENT_T0);
    fixture.Arrive(DataReply(true));
    EXPECT_EQ(fixture.handler.RxBuffer()[0], 0x30);
    EXPECT_EQ(fixture.handler.RxBuffer()[15], 0x3F);
}

TEST(ResponseReceiver, LeavesBytesWithTheControlOutsideTheWaitingStates)
{
    ConfiguredHandler fixture;
    fixture.handler.SetState(bpStateSEND_C1);
    fixture.Arrive({'O', 'K'});
    EXPECT_EQ(fixture.handler.GetState(), bpStateSEND_C1);
    EXPECT_EQ(fixture.control().input.size(), 1U);
    fixture.handler.SetState(bpStateSENT_C1);
    fixture.Arrive({});
    EXPECT_EQ(fixture.handler.GetState(), bpStateRECEIVE_OK);
}

struct EventCase {
    int eventCode;
    ProtocolState outcome;  // bpStateSENT_C1 when nothing changes
    int posted;
};

TEST(ResponseReceiver, TurnsLineEventsIntoErrorStates)
{
    for (const EventCase c : {EventCase{0, bpStateSENT_C1, 0}, EventCase{2, bpStateSENT_C1, 0},
                              EventCase{6, bpStateSENT_C1, 0}, EventCase{7, bpStateEX_OTHER, 1},
                              EventCase{10, bpStateEX_OTHER, 1}, EventCase{16, bpStateEX_OTHER, 1},
                              EventCase{17, StateEX_USERDEF, 1}, EventCase{18, StateEX_USERDEF, 1},
                              EventCase{19, bpStateEX_UNDEF, 1}}) {
        ConfiguredHandler fixture;
        fixture.handler.SetState(bpStateSENT_C1);
        fixture.handler.OnCommEvent(c.eventCode);
        EXPECT_EQ(fixture.handler.GetState(), c.outcome) << c.eventCode;
        EXPECT_EQ(fixture.handler.GetLastEvent(), c.eventCode);
        EXPECT_EQ(fixture.window.posted, c.posted) << c.eventCode;
    }
}

TEST(ResponseReceiver, OnlyRecordsTheEventWhileAnOutcomeWaitsForTheMachine)
{
    for (ProtocolState outcome = bpStateRECEIVE_OK; outcome <= bpStateER_INTERNAL; ++outcome) {
        ConfiguredHandler fixture;
        fixture.handler.SetState(outcome);
        fixture.Arrive({'O', 'K'}, 1004);
        fixture.Arrive({'O', 'K'}, 2);
        EXPECT_EQ(fixture.handler.GetState(), outcome);
        EXPECT_EQ(fixture.handler.GetLastEvent(), kEventReceive);
        EXPECT_EQ(fixture.window.posted, 0);
        EXPECT_EQ(fixture.handler.RxCount(), 0);
    }
}

TEST(ResponseReceiver, ReportsAFailedReadOfTheInput)
{
    ConfiguredHandler fixture;
    fixture.handler.SetState(bpStateSENT_S2);
    fixture.control().refuse = "Input";
    fixture.Arrive({'O', 'K'});
    EXPECT_EQ(fixture.handler.GetState(), bpStateEX_RECEIVE);
    EXPECT_EQ(fixture.window.posted, 1);
}

TEST(ResponseReceiver, HoldsCollectingWithinTheReceiveBuffer)
{
    ConfiguredHandler fixture;
    fixture.handler.SetState(bpStateSENT_S2);
    for (int i = 0; i < 5; ++i) {
        fixture.Arrive(Bytes(700, 'Z'));
    }
    EXPECT_EQ(fixture.handler.RxCount(), 1024);
    EXPECT_EQ(fixture.handler.GetState(), bpStateSENT_S2);
    fixture.handler.TimeoutRead();
    EXPECT_EQ(fixture.handler.RxCount(), 0);
    EXPECT_EQ(fixture.handler.GetState(), bpStateRECEIVE_UK);
}

struct LateCase {
    const char* waiting;  // nullptr: nothing arrived
    ProtocolState outcome;
};

TEST(TimeoutRead, KeepsLateCeAndFeButCountsALateOkAsATimeOut)
{
    for (const LateCase c : {LateCase{nullptr, bpStateRECEIVE_UK}, LateCase{"FE", bpStateRECEIVE_FE},
                             LateCase{"CE", bpStateRECEIVE_CE}, LateCase{"OK", bpStateRECEIVE_UK},
                             LateCase{"FEX", bpStateRECEIVE_UK}}) {
        ConfiguredHandler fixture;
        fixture.handler.SetState(bpStateSENT_S2);
        if (c.waiting != nullptr) {
            fixture.control().input.push_back(Bytes(c.waiting, c.waiting + std::strlen(c.waiting)));
        }
        fixture.handler.TimeoutRead();
        EXPECT_EQ(fixture.handler.GetState(), c.outcome) << (c.waiting ? c.waiting : "nothing");
        EXPECT_TRUE(fixture.handler.IsTimedOut());
        EXPECT_EQ(fixture.handler.RxCount(), 0);
        EXPECT_EQ(fixture.window.posted, 0);
    }
}

TEST(TimeoutRead, ReportsAFailedReadWithoutPosting)
{
    ConfiguredHandler fixture;
    fixture.handler.SetState(bpStateSENT_C1);
    fixture.control().refuse = "Input";
    fixture.handler.TimeoutRead();
    EXPECT_EQ(fixture.handler.GetState(), bpStateEX_RECEIVE);
    EXPECT_TRUE(fixture.handler.IsTimedOut());
    EXPECT_EQ(fixture.window.posted, 0);
    fixture.handler.ClearTimedOut();
    EXPECT_FALSE(fixture.handler.IsTimedOut());
}

// A cancel ends a write-block whose "OK" has come in but not yet been
// collected, then sends the end-of-table. A port reads what has arrived at
// once, so the two replies would be read together, four bytes that no
// awaited reply has; dropping the stale one first lets the end-of-table's
// own "OK" be recognised.
TEST(DiscardInput, KeepsAStaleReplyFromRunningIntoTheNextOne)
{
    for (const bool discard : {false, true}) {
        ConfiguredHandler fixture;
        fixture.handler.SetState(bpStateSENT_S2);
        fixture.control().input.push_back({'O', 'K'});  // arrived, not yet collected
        if (discard) {
            fixture.handler.DiscardInput();
        }
        ASSERT_TRUE(fixture.handler.SendTerminate());
        Bytes arrived = {'O', 'K'};
        if (!fixture.control().input.empty()) {
            arrived.insert(arrived.begin(), fixture.control().input.front().begin(),
                           fixture.control().input.front().end());
            fixture.control().input.clear();
        }
        fixture.Arrive(arrived);
        EXPECT_EQ(fixture.handler.GetState(), discard ? bpStateRECEIVE_OK : bpStateSENT_S8) << discard;
    }
}

} // namespace
} // namespace tavex
