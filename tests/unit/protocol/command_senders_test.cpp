#include "protocol/com_port_event_handler.h"

#include "support/configured_handler.h"

#include <gtest/gtest.h>

#include <functional>
#include <numeric>

namespace tavex {
namespace {

using Bytes = std::vector<std::uint8_t>;
using test::ConfiguredHandler;

struct FrameCase {
    const char* name;
    std::function<bool(ComPortEventHandler&)> send;
    Bytes frame;
    std::int16_t replyLength;
    ProtocolState sentState;
};

void PrintTo(const FrameCase& c, std::ostream* out) { *out << c.name; }

Bytes SixteenBytes()
{
    Bytes data(16);
    std::iota(data.begin(), data.end(), std::uint8_t{0});
    return data;
}

Bytes WriteBlockOfSixteen()
{
    Bytes frame = {0x53, 0x32, 0x14, 0x00, 0x80, 0x00};
    const Bytes data = SixteenBytes();
    frame.insert(frame.end(), data.begin(), data.end());
    frame.push_back(0xF3);
    return frame;
}

const std::uint8_t kByteAA = 0xAA;
const Bytes kSixteen = SixteenBytes();

class Frame : public testing::TestWithParam<FrameCase> {};

TEST_P(Frame, IsWrittenByteForByteInOneWriteAndEntersItsSentState)
{
    const FrameCase& c = GetParam();
    ConfiguredHandler fixture;
    fixture.handler.SetState(bpStateSEND_C1);
    ASSERT_TRUE(c.send(fixture.handler));
    EXPECT_EQ(fixture.control().output, std::vector<Bytes>{c.frame});
    EXPECT_EQ(fixture.host.log.front(), "RThreshold=" + std::to_string(c.replyLength));
    EXPECT_EQ(fixture.handler.GetState(), c.sentState);
    EXPECT_EQ(fixture.handler.TxLength(), static_cast<std::int32_t>(c.frame.size()));
    EXPECT_EQ(fixture.window.posted, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Commands, Frame,
    testing::Values(
        FrameCase{"Ping", [](ComPortEventHandler& h) { return h.SendPing(); }, {0x43, 0x30, 0x01, 0xFE}, 18,
                  bpStateSENT_C0},
        FrameCase{"FlashSectorZero", [](ComPortEventHandler& h) { return h.SendFlashSector(0); },
                  {0x43, 0x31, 0x04, 0xCA, 0xC5, 0x00, 0x6C}, 2, bpStateSENT_C1},
        FrameCase{"FlashSectorThree", [](ComPortEventHandler& h) { return h.SendFlashSector(3); },
                  {0x43, 0x31, 0x04, 0xCA, 0xC5, 0x03, 0x69}, 2, bpStateSENT_C1},
        FrameCase{"WriteBlockOneByte",
                  [](ComPortEventHandler& h) { return h.SendWriteBlock(0x012345, &kByteAA, 1); },
                  {0x53, 0x32, 0x05, 0x01, 0x23, 0x45, 0xAA, 0xE7}, 2, bpStateSENT_S2},
        FrameCase{"WriteBlockSixteenBytes",
                  [](ComPortEventHandler& h) { return h.SendWriteBlock(0x008000, kSixteen.data(), 16); },
                  WriteBlockOfSixteen(), 2, bpStateSENT_S2},
        FrameCase{"EndOfTable", [](ComPortEventHandler& h) { return h.SendTerminate(); },
                  {0x53, 0x38, 0x04, 0xFF, 0xFF, 0xFF, 0xFE}, 2, bpStateSENT_S8},
        FrameCase{"ReadKeyboardId", [](ComPortEventHandler& h) { return h.SendReadId(); }, {0x54, 0x37, 0x01, 0xFE},
                  16, bpStateSENT_T7}),
    [](const testing::TestParamInfo<FrameCase>& info) { return info.param.name; });

TEST(CommandSenders, ReadingTheIdClearsTheLastId)
{
    ConfiguredHandler fixture;
    fixture.handler.SetState(bpStateSENT_T7);
    fixture.Arrive({'K', 'B', 0, 0, 0, 0, 7, 0, 0, 0, 0, 0, 0, 0, 0, 9});
    ASSERT_EQ(fixture.handler.KeyboardId()[6], 7);
    ASSERT_TRUE(fixture.handler.SendReadId());
    EXPECT_EQ(fixture.handler.KeyboardId(), (std::array<std::uint8_t, 16>{}));
}

TEST(CommandSenders, FrameEveryWriteWithRtsOnlyOffTheNtFamily)
{
    ConfiguredHandler older(false);
    ASSERT_TRUE(older.handler.SendPing());
    EXPECT_EQ(older.host.log,
              (std::vector<std::string>{"RThreshold=18", "RTSEnable=false", "Output=4 bytes", "RTSEnable=true"}));
    older.host.log.clear();
    ASSERT_TRUE(older.handler.ClosePort());
    ASSERT_TRUE(older.handler.OpenPort());
    EXPECT_EQ(older.host.log, (std::vector<std::string>{"PortOpen?", "PortOpen=false", "RTSEnable=true", "PortOpen?",
                                                        "PortOpen=true", "RTSEnable=true"}));

    ConfiguredHandler nt(true);
    ASSERT_TRUE(nt.handler.SendPing());
    EXPECT_EQ(nt.host.log, (std::vector<std::string>{"RThreshold=18", "Output=4 bytes"}));
}

TEST(CommandSenders, LeaveTheSendStateWhenTheControlRefusesTheWrite)
{
    ConfiguredHandler fixture;
    fixture.control().refuse = "Output";
    fixture.handler.SetState(bpStateSEND_S2);
    EXPECT_FALSE(fixture.handler.SendWriteBlock(0x10, &kByteAA, 1));
    EXPECT_EQ(fixture.handler.GetState(), bpStateSEND_S2);
}

TEST(CommandSenders, RefuseAFrameLargerThanTheTransmitBuffer)
{
    ConfiguredHandler fixture;
    const Bytes tooMany(600, 0x55);
    EXPECT_FALSE(fixture.handler.SendWriteBlock(0x10, tooMany.data(), static_cast<std::int32_t>(tooMany.size())));
    EXPECT_TRUE(fixture.control().output.empty());
    fixture.handler.ReleaseBuffers();
    EXPECT_FALSE(fixture.handler.SendPing());
    EXPECT_TRUE(fixture.control().output.empty());
}

TEST(PortOperations, OpenOnlyAClosedPortAndCloseAlwaysSucceeds)
{
    ConfiguredHandler fixture;
    fixture.control().portOpen = false;
    EXPECT_TRUE(fixture.handler.OpenPort());
    EXPECT_FALSE(fixture.handler.OpenPort());
    EXPECT_TRUE(fixture.handler.ClosePort());
    EXPECT_TRUE(fixture.handler.ClosePort());
    EXPECT_EQ(fixture.host.log, (std::vector<std::string>{"PortOpen?", "PortOpen=true", "PortOpen?", "PortOpen?",
                                                          "PortOpen=false", "PortOpen?"}));
    fixture.control().refuse = "PortOpen";
    EXPECT_FALSE(fixture.handler.OpenPort());
    EXPECT_FALSE(fixture.handler.ClosePort());
}

TEST(PortOperations, ConfigureFailsWhenTheSettingsAreRefused)
{
    test::RecordingControlHost host;
    CComPort port(host);
    port.CreateEventWindow();
    port.CreateControl();
    host.control->refuse = "Handshaking";
    test::CountingWindow window;
    ComPortEventHandler handler(true);
    EXPECT_FALSE(handler.Configure(port, MainWindowPortSettings(), window, test::kStepMessage));
    EXPECT_TRUE(handler.RxBuffer().empty());
}

} // namespace
} // namespace tavex
