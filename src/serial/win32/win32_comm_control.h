#pragma once

// The comm control on a Win32 COM port. Properties written while the port is
// closed are kept and take effect when it opens. Notifications come from
// the message loop of the thread that made the control, through a
// message-only window of its own; that thread has to run a GetMessage /
// DispatchMessage loop, and is the one to use and destroy the control.

#include "platform/windows_api.h"
#include "serial/comm_control.h"
#include "serial/line_free_time.h"
#include "serial/receive_buffer.h"
#include "serial/win32/dcb_settings.h"
#include "serial/win32/message_window.h"
#include "serial/win32/port_claim.h"
#include "serial/win32/port_reader.h"
#include "serial/win32/port_setup.h"
#include "serial/win32/win32_comm_notifier.h"

#include <cstdint>
#include <memory>
#include <string>

namespace tavex {

class Win32CommControl : public ICommControl {
public:
    // The port is COM<CommPort>, opened as \\.\COM<n>. Throws
    // CommControlError when the thread cannot have the control's window.
    Win32CommControl();
    // The port is devicePath whatever CommPort says: "COM12", "com12" and
    // "\\.\COM12" all name \\.\COM12, any other path is used as given.
    explicit Win32CommControl(std::string devicePath);
    ~Win32CommControl() override;
    Win32CommControl(const Win32CommControl&) = delete;
    Win32CommControl& operator=(const Win32CommControl&) = delete;

    // A device path to use instead of the COM number's device; an empty path
    // goes back to the COM number. Refused while the port is open.
    void SetDevicePath(const std::string& devicePath);

    // The device the port opens: the device path, or \\.\COM<CommPort>.
    std::string DeviceName() const;

    void SetCommPort(std::int16_t number) override;
    void SetSettings(const std::string& settings) override;
    void SetHandshaking(std::int32_t value) override;
    void SetInBufferSize(std::int16_t size) override;
    void SetRThreshold(std::int16_t count) override;
    void SetInputLen(std::int16_t count) override;
    void SetOutBufferSize(std::int16_t size) override;
    void SetSThreshold(std::int16_t count) override;
    void SetEOFEnable(bool enable) override;
    void SetNullDiscard(bool discard) override;
    void SetRTSEnable(bool assert) override;
    void SetDTREnable(bool assert) override;
    void SetParityReplace(const std::string& replacement) override;
    void SetInputMode(std::int32_t mode) override;
    bool GetPortOpen() override;
    void SetPortOpen(bool open) override;
    void SetOutput(const std::vector<std::uint8_t>& bytes) override;
    std::vector<std::uint8_t> GetInput() override;
    void SetInBufferCount(std::int16_t count) override;
    std::int16_t GetCommEvent() override;
    void SetOnComm(std::function<void()> onComm) override;

private:
    static constexpr UINT kArrivedMessage = MessageWindow::kFirstMessage;
    static constexpr UINT kDeliverMessage = MessageWindow::kFirstMessage + 1;

    void OnMessage(UINT message);
    bool IsOpen() const { return port_ != INVALID_HANDLE_VALUE; }
    PortState State() const;
    void RequireOpen(const char* operation) const;
    void RequireClosed(const char* property) const;
    void OpenPort();
    void PreparePort(const std::string& device);
    void ClosePort();
    void AwaitOutputSent();
    bool OutputQueued() const;
    void ShutPort();
    void ApplyModemLines();
    void ApplyModemLine(ModemLine line, bool assert);
    void WriteAll(const std::vector<std::uint8_t>& bytes);
    void TakeArrived();
    void OnArrived();
    bool StillDue(std::int16_t commEvent) const;

    MessageWindow window_{[this](UINT message, WPARAM) { OnMessage(message); }};
    Win32CommNotifier notifier_{window_, kDeliverMessage,
                                [this](std::int16_t commEvent) { return StillDue(commEvent); }};
    PortClaim claim_;
    HANDLE port_ = INVALID_HANDLE_VALUE;
    std::unique_ptr<PortReader> reader_;
    ReceiveBuffer received_;
    std::string devicePath_;
    std::int16_t commPort_ = 1;
    LineSettings lineSettings_;
    std::int32_t handshaking_ = 0;
    std::int16_t inBufferSize_ = 1024;
    std::int16_t outBufferSize_ = 512;
    std::int16_t rThreshold_ = 0;
    std::int16_t inputLen_ = 0;
    std::int16_t sThreshold_ = 0;
    bool eofEnable_ = false;
    bool nullDiscard_ = false;
    bool rtsEnable_ = false;
    bool dtrEnable_ = false;
    LineFreeTime lineFree_;
    bool lossPending_ = false;  // the reader reported the device lost
};

} // namespace tavex
