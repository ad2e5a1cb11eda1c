#pragma once

// The comm control every platform shares: the properties, the checks made
// of them, the received bytes, the notifications and the close rule live
// here once; a PortBackend brings the system calls of one platform.
// Properties written while the port is closed are kept and take effect when
// it opens. Notifications come from the loop of the thread that made the
// control, which is the one to use and destroy it.

#include "serial/comm_control.h"
#include "serial/comm_event_queue.h"
#include "serial/line_free_time.h"
#include "serial/line_settings.h"
#include "serial/port_backend.h"
#include "serial/receive_buffer.h"

#include <cstdint>
#include <memory>
#include <string>

namespace tavex {

class CommControl : public ICommControl, private PortListener {
public:
    explicit CommControl(std::unique_ptr<PortBackend> backend);
    ~CommControl() override;
    CommControl(const CommControl&) = delete;
    CommControl& operator=(const CommControl&) = delete;

    // A device path to use instead of the COM number's device; an empty path
    // goes back to the COM number. Refused while the port is open.
    void SetDevicePath(const std::string& devicePath);

    // The device the port opens: the device path, or the COM number's device.
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
    void OnArrived() override;
    void OnWritten() override;
    void OnDeliveryTurn() override;

    PortState State() const;
    bool IsOpen() const { return backend_->IsOpen(); }
    void RequireOpen(const char* operation) const;
    void RequireClosed(const char* property) const;
    void Reconfigure(const PortState& state, const std::string& refused);
    void OpenPort();
    void ClosePort();
    void AwaitOutputSent();
    void ShutPort();
    void ApplyModemLines();
    void ApplyModemLine(ModemLine line, bool assert);
    void TakeArrived();
    void RaiseSendEventIfDue();
    bool StillDue(std::int16_t commEvent) const;

    std::unique_ptr<PortBackend> backend_;
    CommEventQueue events_;
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
    bool sendEventDue_ = false;
    bool lossPending_ = false;  // the back end reported the device lost
    LineFreeTime lineFree_;
};

} // namespace tavex
