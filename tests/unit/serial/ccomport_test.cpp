#include "serial/ccomport.h"

#include "serial/comm_event.h"
#include "support/recording_comm_control.h"

#include <gtest/gtest.h>

namespace tavex {
namespace {

using test::RecordingControlHost;

struct ComPortFixture : testing::Test {
    ComPortFixture()
    {
        EXPECT_TRUE(port.CreateEventWindow());
        EXPECT_TRUE(port.CreateControl());
        host.log.clear();
    }
    RecordingControlHost host;
    CComPort port{host};
};

const std::vector<std::string> kClosedPortWrites = {
    "PortOpen?",        "CommPort=1",   "Settings=19200,N,8,1", "Handshaking=2",   "InBufferSize=1024",
    "RThreshold=1",     "InputLen=0",   "OutBufferSize=512",    "SThreshold=0",    "EOFEnable=false",
    "NullDiscard=false", "RTSEnable=true", "DTREnable=false",   "ParityReplace=?", "InputMode=1"};

TEST_F(ComPortFixture, AppliesTheMainWindowSettingsInOrder)
{
    EXPECT_TRUE(port.ApplySettings(MainWindowPortSettings()));
    EXPECT_EQ(host.log, kClosedPortWrites);
}

TEST_F(ComPortFixture, LeavesPortNumberAndBufferSizesAloneWhileThePortIsOpen)
{
    host.control->portOpen = true;
    PortSettings retry = MainWindowPortSettings();
    retry.baudIndex = kBaudIndex57600;
    retry.portIndex = 4;
    EXPECT_TRUE(port.ApplySettings(retry));
    std::vector<std::string> expected;
    for (const std::string& write : kClosedPortWrites) {
        if (write.rfind("CommPort", 0) != 0 && write.rfind("InBufferSize", 0) != 0 &&
            write.rfind("OutBufferSize", 0) != 0) {
            expected.push_back(write == "Settings=19200,N,8,1" ? "Settings=57600,N,8,1" : write);
        }
    }
    EXPECT_EQ(host.log, expected);
}

TEST_F(ComPortFixture, StopsAtARefusedWriteAndKeepsWhatWasSet)
{
    host.control->refuse = "Settings";
    PortSettings settings = MainWindowPortSettings();
    settings.portIndex = 15;
    EXPECT_FALSE(port.ApplySettings(settings));
    EXPECT_EQ(host.log, (std::vector<std::string>{"PortOpen?", "CommPort=16", "Settings=19200,N,8,1"}));
}

TEST(PortSettings, BuildsTheLineSettingsStringFromTheLists)
{
    PortSettings settings;
    EXPECT_EQ(LineSettingsString(settings), "9600,N,8,1");
    settings.baudIndex = kBaudIndex57600;
    settings.parityIndex = 0;
    settings.dataBitsIndex = 3;
    settings.stopBitsIndex = 1;
    EXPECT_EQ(LineSettingsString(settings), "57600,E,7,1.5");
    settings.baudIndex = 16;
    EXPECT_EQ(LineSettingsString(settings), ",E,7,1.5");
    EXPECT_EQ(PortListEntry(15), "16");
    EXPECT_EQ(PortListEntry(0), "1");
}

TEST(MapCommEvent, GivesEachCommEventItsEventCode)
{
    struct Case {
        std::int16_t commEvent;
        int eventCode;
    };
    for (const Case c : {Case{1, 0}, Case{2, 1}, Case{7, 6}, Case{1001, 7}, Case{1004, 10}, Case{1006, 11},
                         Case{1011, 16}, Case{1005, 17}, Case{0, 17}, Case{-1, 17}, Case{8, 17}, Case{1012, 17},
                         Case{2000, 17}}) {
        EXPECT_EQ(MapCommEvent(c.commEvent), c.eventCode) << c.commEvent;
    }
}

struct Notified {
    std::vector<int> codes;
    static void Record(void* context, int code) { static_cast<Notified*>(context)->codes.push_back(code); }
};

TEST_F(ComPortFixture, ForwardsNotificationsAsEventCodesOnlyOnceSomebodyListens)
{
    host.control->commEvent = 1004;
    host.control->onComm();
    EXPECT_TRUE(host.log.empty()) << "CommEvent read before SetNotify";

    Notified notified;
    port.SetNotify(&notified, &Notified::Record);
    host.control->onComm();
    host.control->refuse = "CommEvent";
    host.control->onComm();  // lost: the control could not say which event
    EXPECT_EQ(notified.codes, std::vector<int>{10});
}

TEST_F(ComPortFixture, PassesTheControlsErrorsToTheCaller)
{
    port.SelectPort(15);
    EXPECT_EQ(host.log.back(), "CommPort=16");
    EXPECT_TRUE(port.ReadInput().empty());
    host.control->refuse = "Output";
    const std::uint8_t frame[] = {0x43, 0x30, 0x01, 0xFE};
    EXPECT_THROW(port.WriteOutput(frame, sizeof frame), CommControlError);
    host.control->refuse = "PortOpen";
    EXPECT_THROW(port.IsPortOpen(), CommControlError);
}

TEST(ComPortCreation, FailsWithoutAnEventWindowOrAControlAndNeverMakesTwo)
{
    RecordingControlHost host;
    CComPort port(host);
    EXPECT_FALSE(port.CreateControl());
    EXPECT_FALSE(port.ApplySettings(MainWindowPortSettings()));
    host.eventReceiverAvailable = false;
    EXPECT_FALSE(port.CreateEventWindow());
    host.eventReceiverAvailable = true;
    ASSERT_TRUE(port.CreateEventWindow());
    host.controlAvailable = false;
    EXPECT_FALSE(port.CreateControl());
    host.controlAvailable = true;
    ASSERT_TRUE(port.CreateControl());
    test::RecordingCommControl* first = host.control;
    EXPECT_FALSE(port.CreateControl());
    EXPECT_EQ(host.control, first);
}

} // namespace
} // namespace tavex
