#pragma once

// A comm control that records every property access as text ("Settings=
// 19200,N,8,1"), serves queued input, and refuses a chosen property.

#include "serial/comm_control_host.h"

#include <deque>
#include <string>
#include <vector>

namespace tavex::test {

class RecordingCommControl final : public ICommControl {
public:
    // The log of accesses, shared so that it outlives the control.
    explicit RecordingCommControl(std::vector<std::string>& log) : log_(log) {}

    std::string refuse;         // a property name whose access raises CommControlError
    bool portOpen = false;
    std::int16_t commEvent = 0;
    std::deque<std::vector<std::uint8_t>> input;  // one element per GetInput
    std::vector<std::vector<std::uint8_t>> output;
    std::function<void()> onComm;

    void SetCommPort(std::int16_t number) override { Put("CommPort", std::to_string(number)); }
    void SetSettings(const std::string& settings) override { Put("Settings", settings); }
    void SetHandshaking(std::int32_t value) override { Put("Handshaking", std::to_string(value)); }
    void SetInBufferSize(std::int16_t size) override { Put("InBufferSize", std::to_string(size)); }
    void SetRThreshold(std::int16_t count) override { Put("RThreshold", std::to_string(count)); }
    void SetInputLen(std::int16_t count) override { Put("InputLen", std::to_string(count)); }
    void SetOutBufferSize(std::int16_t size) override { Put("OutBufferSize", std::to_string(size)); }
    void SetSThreshold(std::int16_t count) override { Put("SThreshold", std::to_string(count)); }
    void SetEOFEnable(bool enable) override { Put("EOFEnable", Flag(enable)); }
    void SetNullDiscard(bool discard) override { Put("NullDiscard", Flag(discard)); }
    void SetRTSEnable(bool assert) override { Put("RTSEnable", Flag(assert)); }
    void SetDTREnable(bool assert) override { Put("DTREnable", Flag(assert)); }
    void SetParityReplace(const std::string& replacement) override { Put("ParityReplace", replacement); }
    void SetInputMode(std::int32_t mode) override { Put("InputMode", std::to_string(mode)); }
    bool GetPortOpen() override
    {
        Get("PortOpen");
        return portOpen;
    }
    void SetPortOpen(bool open) override
    {
        Put("PortOpen", Flag(open));
        portOpen = open;
    }
    void SetOutput(const std::vector<std::uint8_t>& bytes) override
    {
        Put("Output", std::to_string(bytes.size()) + " bytes");
        output.push_back(bytes);
    }
    std::vector<std::uint8_t> GetInput() override
    {
        Get("Input");
        if (input.empty()) {
            return {};
        }
        std::vector<std::uint8_t> piece = std::move(input.front());
        input.pop_front();
        return piece;
    }
    void SetInBufferCount(std::int16_t count) override
    {
        Put("InBufferCount", std::to_string(count));
        input.clear();
    }
    std::int16_t GetCommEvent() override
    {
        Get("CommEvent");
        return commEvent;
    }
    void SetOnComm(std::function<void()> handler) override { onComm = std::move(handler); }

private:
    static std::string Flag(bool value) { return value ? "true" : "false"; }
    void Check(const std::string& property)
    {
        if (property == refuse) {
            throw CommControlError(property + " refused");
        }
    }
    void Put(const std::string& property, const std::string& value)
    {
        log_.push_back(property + "=" + value);
        Check(property);
    }
    void Get(const std::string& property)
    {
        log_.push_back(property + "?");
        Check(property);
    }

    std::vector<std::string>& log_;
};

// Hands out one RecordingCommControl and keeps a pointer to it for the test.
class RecordingControlHost final : public ICommControlHost {
public:
    bool eventReceiverAvailable = true;
    bool controlAvailable = true;
    std::vector<std::string> log;
    RecordingCommControl* control = nullptr;  // owned by the CComPort

    bool CreateEventReceiver() override { return eventReceiverAvailable; }
    std::unique_ptr<ICommControl> CreateControl() override
    {
        if (!controlAvailable) {
            return nullptr;
        }
        auto made = std::make_unique<RecordingCommControl>(log);
        control = made.get();
        return made;
    }
};

} // namespace tavex::test
