#pragma once

// A comm control wired to the in-process keyboard model: what the session
// writes reaches the model at once, its replies arrive after their delays,
// and a notification follows once RThreshold bytes wait. How time passes
// (a virtual clock, the Qt event loop) is the subclass's.

#include "serial/comm_control_host.h"
#include "sim/keyboard_model.h"

#include <string>
#include <vector>

namespace tavex::test {

class KeyboardLinkControl : public ICommControl {
public:
    explicit KeyboardLinkControl(KeyboardModel& keyboard) : keyboard_(keyboard) {}

    // Faults of the port itself.
    bool refuseSelect = false;
    bool refuseOpen = false;
    bool refuseClose = false;
    bool refuseSettings = false;
    ErrorCategory openRefusal = ErrorCategory::kInUse;  // the category a refused open carries

    // The device goes: the port closes and the control tells it with a DCB
    // notification, as the real controls do.
    void LoseDevice();

    std::vector<std::vector<std::uint8_t>> frames;  // every write, in order
    std::vector<std::uint32_t> frameBauds;          // the line speed of each write

    void SetCommPort(std::int16_t number) override;
    void SetSettings(const std::string& settings) override;
    void SetHandshaking(std::int32_t) override {}
    void SetInBufferSize(std::int16_t) override {}
    void SetRThreshold(std::int16_t count) override { rThreshold_ = count; }
    void SetInputLen(std::int16_t) override {}
    void SetOutBufferSize(std::int16_t) override {}
    void SetSThreshold(std::int16_t) override {}
    void SetEOFEnable(bool) override {}
    void SetNullDiscard(bool) override {}
    void SetRTSEnable(bool) override {}
    void SetDTREnable(bool) override {}
    void SetParityReplace(const std::string&) override {}
    void SetInputMode(std::int32_t) override {}
    bool GetPortOpen() override { return open_; }
    void SetPortOpen(bool open) override;
    void SetOutput(const std::vector<std::uint8_t>& bytes) override;
    std::vector<std::uint8_t> GetInput() override;
    void SetInBufferCount(std::int16_t) override { waiting_.clear(); }
    std::int16_t GetCommEvent() override { return commEvent_; }
    void SetOnComm(std::function<void()> onComm) override { onComm_ = std::move(onComm); }

protected:
    // Now, on the subclass's clock, in microseconds.
    virtual std::uint64_t NowMicros() const = 0;
    // Runs `arrival` once `delayMicros` have passed, whatever the thread does.
    virtual void After(std::uint64_t delayMicros, std::function<void()> arrival) = 0;
    // Hands the notification to the thread's message queue.
    virtual void Notify(const std::function<void()>& onComm) = 0;

private:
    void Arrive(const std::vector<std::uint8_t>& bytes, std::uint64_t opening);

    KeyboardModel& keyboard_;
    std::function<void()> onComm_;
    std::uint32_t baud_ = 9600;
    std::int16_t rThreshold_ = 0;
    bool open_ = false;
    std::uint64_t openings_ = 0;  // replies meant for an earlier opening are lost
    std::vector<std::uint8_t> waiting_;
    std::int16_t commEvent_ = comm_event::kReceive;
};

} // namespace tavex::test
