// The whole serial link for real: ComPortEventHandler and CComPort on the
// QSerialPort comm control, talking to tavexdl-kbsim over a pseudo-terminal.

#include "event_loop_wait.h"
#include "kbsim_process.h"
#include "protocol/bootloader_frames.h"
#include "protocol/com_port_event_handler.h"
#include "serial/qt/comm_control.h"

#include <gtest/gtest.h>

namespace tavex {
namespace {

using namespace std::chrono_literals;
using test::EventLoopTurnsFor;
using test::KbsimProcess;
using test::RunEventsUntil;

class DeviceHost final : public ICommControlHost {
public:
    explicit DeviceHost(std::string device) : device_(std::move(device)) {}
    bool CreateEventReceiver() override { return true; }
    std::unique_ptr<ICommControl> CreateControl() override
    {
        return std::make_unique<QtCommControl>(QString::fromStdString(device_));
    }

private:
    std::string device_;
};

class CountingWindow final : public INotifyWindow {
public:
    void PostMessage(std::uint32_t) override { ++posted; }
    int posted = 0;
};

// One end of the link: a configured handler on its own port.
struct LinkEnd {
    explicit LinkEnd(const std::string& device) : host(device)
    {
        port.CreateEventWindow();
        port.CreateControl();
        configured = handler.Configure(port, MainWindowPortSettings(), window, 0x401);
    }

    // Sends with `send` and waits for the reply the receiver recognises.
    ProtocolState Exchange(const std::function<bool(ComPortEventHandler&)>& send)
    {
        const int postedBefore = window.posted;
        if (!send(handler)) {
            return -1;
        }
        RunEventsUntil([&] { return window.posted > postedBefore; });
        return handler.GetState();
    }

    DeviceHost host;
    CComPort port{host};
    CountingWindow window;
    ComPortEventHandler handler{true};
    bool configured = false;
};

struct Keyboard {
    explicit Keyboard(std::vector<std::string> arguments) : process(arguments) { device = process.ReadLine(5000); }
    KbsimProcess process;
    std::string device;
};

TEST(SerialLink, CarriesPingIdAndRecordsBothWays)
{
    Keyboard keyboard({"--hardware", "5"});
    ASSERT_FALSE(keyboard.device.empty());
    LinkEnd link(keyboard.device);
    ASSERT_TRUE(link.configured);
    ASSERT_TRUE(link.handler.OpenPort());

    EXPECT_EQ(link.Exchange([](ComPortEventHandler& h) { return h.SendPing(); }), bpStateRECEIVE_C0);
    EXPECT_EQ(link.Exchange([](ComPortEventHandler& h) { return h.SendReadId(); }), bpStateRECEIVE_T7);
    EXPECT_EQ(link.handler.KeyboardId()[bootloader::kHardwareVersionIndex], 5);
    EXPECT_EQ(link.Exchange([](ComPortEventHandler& h) { return h.SendFlashSector(3); }), bpStateRECEIVE_OK);
    const std::uint8_t data[] = {0xAA, 0xBB};
    EXPECT_EQ(link.Exchange([&](ComPortEventHandler& h) { return h.SendWriteBlock(0x012345, data, 2); }),
              bpStateRECEIVE_OK);
    EXPECT_EQ(link.Exchange([](ComPortEventHandler& h) { return h.SendTerminate(); }), bpStateRECEIVE_OK);
    EXPECT_EQ(link.window.posted, 5);
    ASSERT_TRUE(link.handler.ClosePort());

    keyboard.process.Signal(SIGTERM);
    ASSERT_EQ(keyboard.process.Wait(5000), 0);
    const std::string summary = keyboard.process.RestOfOut();
    EXPECT_NE(summary.find("frames: C0 1 T7 1 C1 1 S2 1 S8 1"), std::string::npos) << summary;
    EXPECT_NE(summary.find("blocks written: 1"), std::string::npos) << summary;
}

TEST(SerialLink, CollectsAReplyThatArrivesInPieces)
{
    // Byte by byte at 300 baud, a byte every 33 ms: pieces far enough apart that
    // a busy machine still takes them one notification at a time.
    Keyboard keyboard({"--pace-baud", "300"});
    LinkEnd link(keyboard.device);
    ASSERT_TRUE(link.handler.OpenPort());
    int notifications = 0;
    struct Relay {
        ComPortEventHandler* handler;
        int* count;
    } relay{&link.handler, &notifications};
    link.port.SetNotify(&relay, [](void* context, int code) {
        auto* r = static_cast<Relay*>(context);
        ++*r->count;
        r->handler->OnCommEvent(code);
    });
    ASSERT_TRUE(link.handler.SendPing());
    link.port.SetRThreshold(1);  // a notification for every piece, not only for the whole reply
    RunEventsUntil([&] { return link.window.posted > 0; });
    EXPECT_EQ(link.handler.GetState(), bpStateRECEIVE_C0);
    EXPECT_GT(notifications, 1);
    EXPECT_EQ(link.window.posted, 1);
}

TEST(SerialLink, AKeyboardThatVanishesMidReplyGivesOneNotificationAndAClosedPort)
{
    Keyboard keyboard({"--fault", "C0:vanish"});
    LinkEnd link(keyboard.device);
    ASSERT_TRUE(link.handler.OpenPort());
    ASSERT_TRUE(link.handler.SendPing());
    ASSERT_TRUE(RunEventsUntil([&] { return link.window.posted > 0; }, 3s));
    EXPECT_EQ(link.handler.GetState(), bpStateEX_OTHER);
    EXPECT_EQ(link.handler.GetLastEvent(), 16);  // the driver lost the port
    EXPECT_FALSE(link.port.IsPortOpen());

    // An idle loop goes round a few times in 500 ms; one kept busy by the
    // lost port, tens of thousands of times.
    const std::size_t turns = EventLoopTurnsFor(500ms);
    EXPECT_EQ(link.window.posted, 1);
    EXPECT_LE(turns, 100U) << "the lost port keeps the loop busy";
    EXPECT_TRUE(link.handler.ClosePort());
}

TEST(SerialLink, RefusesASecondOpenOfTheSameDevice)
{
    Keyboard keyboard({});
    LinkEnd first(keyboard.device);
    LinkEnd second(keyboard.device);
    ASSERT_TRUE(first.handler.OpenPort());
    EXPECT_FALSE(second.handler.OpenPort());
    EXPECT_EQ(first.Exchange([](ComPortEventHandler& h) { return h.SendPing(); }), bpStateRECEIVE_C0);
    ASSERT_TRUE(first.handler.ClosePort());
    EXPECT_TRUE(second.handler.OpenPort());
}

} // namespace
} // namespace tavex
