#pragma once

// The keyboard link on the Qt event loop: replies arrive on timers.

#include "support/keyboard_link_control.h"

#include <QObject>
#include <QTimer>

#include <chrono>

namespace tavex::test {

class QtModelCommControl final : public QObject, public KeyboardLinkControl {
public:
    explicit QtModelCommControl(KeyboardModel& keyboard) : KeyboardLinkControl(keyboard) {}

protected:
    std::uint64_t NowMicros() const override
    {
        const auto elapsed = std::chrono::steady_clock::now() - start_;
        return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::microseconds>(elapsed).count());
    }
    void After(std::uint64_t delayMicros, std::function<void()> arrival) override
    {
        QTimer::singleShot(static_cast<int>((delayMicros + 999) / 1000), this, std::move(arrival));
    }
    // The arrival already runs from the event loop, as a notification does.
    void Notify(const std::function<void()>& onComm) override { onComm(); }

private:
    const std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
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
