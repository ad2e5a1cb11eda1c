// Arbitrary notifications, reply pieces, states and late reads through the
// response receiver: no crash, no sanitizer report, and never more bytes
// collected than the receive buffer holds.

#include "protocol/com_port_event_handler.h"
#include "support/recording_comm_control.h"

#include <cstdlib>

namespace {

class NullWindow final : public tavex::INotifyWindow {
public:
    void PostMessage(std::uint32_t) override {}
};

// Reads the fuzzer's bytes front to back; zeros once they run out.
struct Input {
    const std::uint8_t* data;
    std::size_t size;
    std::uint8_t Next()
    {
        if (size == 0) {
            return 0;
        }
        --size;
        return *data++;
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Input input{data, size};
    tavex::test::RecordingControlHost host;
    tavex::CComPort port(host);
    port.CreateEventWindow();
    port.CreateControl();
    tavex::PortSettings settings = tavex::MainWindowPortSettings();
    settings.inBufferSize = static_cast<std::int16_t>(input.Next() % 48);  // small, to reach its end
    NullWindow window;
    tavex::ComPortEventHandler handler(true);
    handler.Configure(port, settings, window, 0x401);
    host.control->portOpen = true;

    while (input.size > 0) {
        switch (input.Next() % 4) {
        case 0:
            handler.SetState(static_cast<tavex::ProtocolState>(input.Next() % 40));
            break;
        case 1: {
            std::vector<std::uint8_t> piece(input.Next() % 24);
            for (std::uint8_t& byte : piece) {
                byte = input.Next();
            }
            host.control->input.push_back(std::move(piece));
            host.control->commEvent = static_cast<std::int16_t>(input.Next() < 200 ? 2 : 1000 + input.Next() % 16);
            host.control->onComm();
            break;
        }
        case 2:
            handler.TimeoutRead();
            break;
        default:
            host.control->refuse = input.Next() < 16 ? "Input" : "";
            break;
        }
        if (handler.RxCount() < 0 || static_cast<std::size_t>(handler.RxCount()) > handler.RxBuffer().size()) {
            std::abort();
        }
        host.log.clear();
    }
    return 0;
}
