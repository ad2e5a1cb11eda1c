#pragma once

// The keyboard link on the virtual clock of a session bench.

#include "support/keyboard_link_control.h"
#include "support/virtual_event_loop.h"

namespace tavex::test {

class ModelCommControl final : public KeyboardLinkControl {
public:
    ModelCommControl(VirtualEventLoop& loop, KeyboardModel& keyboard) : KeyboardLinkControl(keyboard), loop_(loop) {}

protected:
    std::uint64_t NowMicros() const override { return loop_.NowMicros(); }
    void After(std::uint64_t delayMicros, std::function<void()> arrival) override
    {
        loop_.Happen(loop_.NowMicros() + delayMicros, std::move(arrival));
    }
    void Notify(const std::function<void()>& onComm) override { loop_.Post(loop_.NowMicros(), onComm); }

private:
    VirtualEventLoop& loop_;
};

class ModelControlHost final : public ICommControlHost {
public:
    ModelControlHost(VirtualEventLoop& loop, KeyboardModel& keyboard) : loop_(loop), keyboard_(keyboard) {}

    bool eventReceiverAvailable = true;
    bool controlAvailable = true;
    ModelCommControl* control = nullptr;  // owned by the CComPort

    bool CreateEventReceiver() override { return eventReceiverAvailable; }
    std::unique_ptr<ICommControl> CreateControl() override
    {
        if (!controlAvailable) {
            return nullptr;
        }
        auto made = std::make_unique<ModelCommControl>(loop_, keyboard_);
        control = made.get();
        return made;
    }

private:
    VirtualEventLoop& loop_;
    KeyboardModel& keyboard_;
};

} // namespace tavex::test
