#pragma once

// The adapter between the comm control and the protocol: it turns a
// PortSettings record into property writes, offers the few operations the
// protocol needs, and hands every notification on as an event code.

#include "serial/comm_control_host.h"
#include "serial/port_settings.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace tavex {

class CComPort;

// Receives the control's notifications and forwards them to its CComPort.
class CComEventWnd {
public:
    explicit CComEventWnd(CComPort& owner) : owner_(owner) {}
    void OnComm();

private:
    CComPort& owner_;
};

class CComPort {
public:
    using NotifyFunction = void (*)(void* context, int eventCode);

    explicit CComPort(ICommControlHost& host) : host_(host) {}
    virtual ~CComPort();
    CComPort(const CComPort&) = delete;
    CComPort& operator=(const CComPort&) = delete;

    bool CreateEventWindow();
    // False when the control already exists, when there is no event window,
    // or when the control cannot be made.
    bool CreateControl();

    // Writes the settings in a fixed order; the COM number and the buffer
    // sizes only while the port is closed. False at the first refusal.
    bool ApplySettings(PortSettings settings);

    void SetNotify(void* context, NotifyFunction function);

    // These pass the control's errors (CommControlError) to the caller.
    void SelectPort(std::int32_t portIndex);
    bool IsPortOpen();
    void SetPortOpen(bool open);
    void SetRThreshold(std::int16_t count);
    void SetRTSEnable(bool assert);
    void WriteOutput(const std::uint8_t* bytes, std::size_t count);
    std::vector<std::uint8_t> ReadInput();
    void DropInput();

private:
    friend class CComEventWnd;
    void ForwardNotification();
    ICommControl& Control();

    ICommControlHost& host_;
    std::unique_ptr<CComEventWnd> eventWindow_;
    std::unique_ptr<ICommControl> control_;
    void* notifyContext_ = nullptr;
    NotifyFunction notifyFunction_ = nullptr;
};

} // namespace tavex
