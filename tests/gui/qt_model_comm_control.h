#pragma once

// A comm control wired to the in-process keyboard model on the Qt event
// loop: what the window writes reaches the model at once, and its replies
// arrive after their delays as notifications of the event loop.

#include "serial/comm_control_host.h"
#include "sim/keyboard_model.h"

#include <QObject>

#include <vector>

namespace tavex::test {

class QtModelCommControl final : public QObject, public ICommControl {
public:
    explicit QtModelCommControl(KeyboardModel& keyboard) : keyboard_(keyboard) {}

    std::vector<std::vector<std::uint8_t>> frames;

    void SetCommPort(std::int16_t) override {}
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
    std::int16_t GetCommEvent() override { return 2; }
    void SetOnComm(std::function<void()> onComm) override { onComm_ = std::move(onComm); }

private:
    void Arrive(const std::vector<std::uint8_t>& bytes, unsigned opening);

    KeyboardModel& keyboard_;
    std::function<void()> onComm_;
    std::uint32_t baud_ = 9600;
    std::int16_t rThreshold_ = 0;
    bool open_ = false;
    unsigned openings_ = 0;
    std::vector<std::uint8_t> waiting_;
};

class QtModelControlHost final : public ICommControlHost {
public:
    explicit QtModelControlHost(KeyboardModel& keyboard) : keyboard_(keyboard) {}
    QtModelCommControl* control = nullptr;  // owned by the CComPort

    bool CreateEventReceiver() override { return true; }
    std::unique_ptr<ICommControl> CreateControl() override
    {
        auto made = std::make_unique<QtModelCommControl>(keyboard_);
        control = made.get();
        return made;
    }

private:
    KeyboardModel& keyboard_;
};

} // namespace tavex::test
