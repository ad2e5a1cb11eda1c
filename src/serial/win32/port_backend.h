#pragma once

// The serial port's system calls on a Win32 COM port. Its turns come from
// the message loop of the thread that made it, through a message-only
// window of its own; that thread has to run a GetMessage / DispatchMessage
// loop, and is the one to use and destroy it.

#include "platform/win32/windows_api.h"
#include "serial/port_backend.h"
#include "serial/win32/message_window.h"
#include "serial/win32/port_claim.h"
#include "serial/win32/port_reader.h"

#include <memory>

namespace tavex {

class Win32PortBackend : public PortBackend {
public:
    // Throws CommControlError when the thread cannot have the window.
    Win32PortBackend();
    ~Win32PortBackend() override;

    std::string ComDevice(std::int16_t comNumber) const override;
    std::string NormaliseDevice(const std::string& devicePath) const override;
    void Open(const std::string& device, const PortState& state, std::int16_t inBufferSize,
              std::int16_t outBufferSize) override;
    void Close() override;
    bool IsOpen() const override { return port_ != INVALID_HANDLE_VALUE; }
    std::optional<std::string> Configure(const PortState& state) override;
    std::optional<std::string> SetModemLine(ModemLine line, bool assert) override;
    std::optional<std::string> Write(const std::vector<std::uint8_t>& bytes) override;
    // The driver has every byte once a write returns.
    std::size_t BytesHeldForWriting() const override { return 0; }
    bool OutputQueued() override;
    void DropOutput() override;
    Arrived TakeArrived() override;
    std::optional<std::string> DropInput() override;
    bool RequestArrivedTurn() override { return window_.Post(kArrivedMessage); }
    bool RequestDeliveryTurn() override { return window_.Post(kDeliveryMessage); }

private:
    static constexpr UINT kArrivedMessage = MessageWindow::kFirstMessage;
    static constexpr UINT kDeliveryMessage = MessageWindow::kFirstMessage + 1;

    void OnMessage(UINT message);
    void Prepare(const std::string& device, const PortState& state, std::int16_t inBufferSize,
                 std::int16_t outBufferSize);

    MessageWindow window_{[this](UINT message, WPARAM) { OnMessage(message); }};
    PortClaim claim_;
    HANDLE port_ = INVALID_HANDLE_VALUE;
    std::unique_ptr<PortReader> reader_;
    LineSettings line_;  // the port's, for the bound of a write's wait
    bool lost_ = false;  // the reader reported the device lost
};

} // namespace tavex
