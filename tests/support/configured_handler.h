#pragma once

// A ComPortEventHandler configured with the main window's settings on a
// recording comm control, and a window that counts the step messages posted.

#include "protocol/com_port_event_handler.h"
#include "support/recording_comm_control.h"

namespace tavex::test {

inline constexpr std::uint32_t kStepMessage = 0x401;

class CountingWindow final : public INotifyWindow {
public:
    void PostMessage(std::uint32_t message) override
    {
        ++posted;
        lastMessage = message;
    }
    int posted = 0;
    std::uint32_t lastMessage = 0;
};

struct ConfiguredHandler {
    explicit ConfiguredHandler(bool ntPlatform = true) : handler(ntPlatform)
    {
        port.CreateEventWindow();
        port.CreateControl();
        handler.Configure(port, MainWindowPortSettings(), window, kStepMessage);
        control().portOpen = true;
        host.log.clear();
    }
    RecordingCommControl& control() { return *host.control; }

    // Bytes the keyboard sends, then the notification the control raises.
    void Arrive(std::vector<std::uint8_t> bytes, std::int16_t commEvent = 2)
    {
        control().input.push_back(std::move(bytes));
        control().commEvent = commEvent;
        control().onComm();
    }

    RecordingControlHost host;
    CComPort port{host};
    CountingWindow window;
    ComPortEventHandler handler;
};

} // namespace tavex::test
