#pragma once

#include "serial/comm_control.h"

#include <chrono>
#include <memory>
#include <string>

namespace tavex {

// Passes everything to the real control and writes every frame sent and
// every piece of reply received, in hexadecimal with a time stamp in
// microseconds since the trace began, on stderr: fine enough to show the
// host's own time between a reply and the next frame. Each line begins with
// the device, as several keyboards at once write their lines in between each
// other's.
class TracingCommControl final : public ICommControl {
public:
    TracingCommControl(std::unique_ptr<ICommControl> inner, const std::string& device);

    void SetCommPort(std::int16_t number) override { inner_->SetCommPort(number); }
    void SetSettings(const std::string& settings) override { inner_->SetSettings(settings); }
    void SetHandshaking(std::int32_t value) override { inner_->SetHandshaking(value); }
    void SetInBufferSize(std::int16_t size) override { inner_->SetInBufferSize(size); }
    void SetRThreshold(std::int16_t count) override { inner_->SetRThreshold(count); }
    void SetInputLen(std::int16_t count) override { inner_->SetInputLen(count); }
    void SetOutBufferSize(std::int16_t size) override { inner_->SetOutBufferSize(size); }
    void SetSThreshold(std::int16_t count) override { inner_->SetSThreshold(count); }
    void SetEOFEnable(bool enable) override { inner_->SetEOFEnable(enable); }
    void SetNullDiscard(bool discard) override { inner_->SetNullDiscard(discard); }
    void SetRTSEnable(bool assert) override { inner_->SetRTSEnable(assert); }
    void SetDTREnable(bool assert) override { inner_->SetDTREnable(assert); }
    void SetParityReplace(const std::string& replacement) override { inner_->SetParityReplace(replacement); }
    void SetInputMode(std::int32_t mode) override { inner_->SetInputMode(mode); }
    bool GetPortOpen() override { return inner_->GetPortOpen(); }
    void SetPortOpen(bool open) override;
    void SetOutput(const std::vector<std::uint8_t>& bytes) override;
    std::vector<std::uint8_t> GetInput() override;
    void SetInBufferCount(std::int16_t count) override;
    std::int16_t GetCommEvent() override { return inner_->GetCommEvent(); }
    void SetOnComm(std::function<void()> onComm) override { inner_->SetOnComm(std::move(onComm)); }

private:
    void Trace(const char* direction, const std::vector<std::uint8_t>& bytes) const;
    void TraceLine(const char* what, const std::string& text) const;

    std::unique_ptr<ICommControl> inner_;
    std::string linePrefix_;
    std::chrono::steady_clock::time_point start_;
};

} // namespace tavex
