// The host, the COM number's device, and the adapter driving a real control.

#include "control_fixture.h"
#include "scoped_environment.h"
#include "serial/ccomport.h"
#include "serial/comm_event.h"
#include "serial/qt/comm_control_host.h"

#include <thread>

namespace tavex::test {
namespace {

using namespace std::chrono_literals;

TEST(QtCommControlHost, MakesControlsOnlyOnTheApplicationsThread)
{
    QtCommControlHost host;
    EXPECT_TRUE(host.CreateEventReceiver());
    const std::unique_ptr<ICommControl> control = host.CreateControl();
    ASSERT_NE(control, nullptr);
    EXPECT_FALSE(control->GetPortOpen());

    bool receiverElsewhere = true;
    bool controlElsewhere = true;
    std::thread other([&] {
        receiverElsewhere = host.CreateEventReceiver();
        controlElsewhere = host.CreateControl() != nullptr;
    });
    other.join();
    EXPECT_FALSE(receiverElsewhere);
    EXPECT_FALSE(controlElsewhere);
}

TEST(QtCommControl, OpensTheDeviceItsComNumberMapsTo)
{
    PseudoTerminal peer;
    const ScopedEnvironment variable("TAVEXDL_COM7", peer.SlavePath());
    QtCommControl control;
    control.SetCommPort(7);
    control.SetPortOpen(true);
    control.SetOutput(BytesOf("\x06\x07"));
    EXPECT_EQ(peer.ReadWithoutEvents(2, 1s), "\x06\x07");
}

struct Received {
    std::vector<int> eventCodes;
    static void Record(void* context, int eventCode)
    {
        static_cast<Received*>(context)->eventCodes.push_back(eventCode);
    }
};

TEST(QtCommControl, CarriesTheMainWindowSettingsThroughTheAdapter)
{
    PseudoTerminal peer;
    QtCommControlHost host(peer.SlaveDevice());
    CComPort port(host);
    ASSERT_TRUE(port.CreateEventWindow());
    ASSERT_TRUE(port.CreateControl());
    Received received;
    port.SetNotify(&received, &Received::Record);

    // Every property is written while the port is still closed.
    ASSERT_TRUE(port.ApplySettings(MainWindowPortSettings()));
    port.SetPortOpen(true);
    const termios line = peer.SlaveTermios();
    EXPECT_EQ(cfgetospeed(&line), B19200);
    port.WriteOutput(BytesOf("\x06\x01").data(), 2);
    EXPECT_EQ(peer.ReadWithoutEvents(2, 1s), "\x06\x01");

    peer.Write("\x15");
    RunEventsUntil([&] { return !received.eventCodes.empty(); });
    EXPECT_EQ(received.eventCodes, std::vector<int>{kEventReceive});
    EXPECT_EQ(port.ReadInput(), BytesOf("\x15"));
}

} // namespace
} // namespace tavex::test
