#pragma once

// What every platform's comm control has to do with a keyboard behind it:
// the tests run against the keyboard simulator, on Linux over a
// pseudo-terminal with the Qt back end, on Windows over COM1 with the Win32
// back end. The platform's part (below) is written once per platform.

#include "protocol/bootloader_frames.h"
#include "serial/comm_control_core.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace tavex::test {

using Bytes = std::vector<std::uint8_t>;

// The keyboard simulator run with options. On Windows the test's runner has
// started it on COM1 with the same options (see the build's suite list).
class ContractKeyboard {
public:
    explicit ContractKeyboard(const std::vector<std::string>& options);
    ~ContractKeyboard();
    ContractKeyboard(const ContractKeyboard&) = delete;
    ContractKeyboard& operator=(const ContractKeyboard&) = delete;

    // The device a control opens to reach it; empty when it did not start.
    const std::string& Device() const { return device_; }

private:
    struct Process;
    std::unique_ptr<Process> process_;
    std::string device_;
};

// A closed control of this platform's, on this thread.
std::unique_ptr<CommControl> MakeContractControl();

// Runs this thread's loop until done() holds; false if it still does not
// after limit.
bool RunLoopUntil(const std::function<bool()>& done, std::chrono::milliseconds limit = std::chrono::seconds(2));
void RunLoopFor(std::chrono::milliseconds duration);

// A control on the simulator started with the fixture's options, with every
// notification recorded with the thread it came on.
struct KeyboardFixture : testing::Test {
    explicit KeyboardFixture(const std::vector<std::string>& options) : keyboard(options)
    {
        control.SetDevicePath(keyboard.Device());
        control.SetSettings("19200,N,8,1");
        control.SetHandshaking(2);
        control.SetRTSEnable(true);
        control.SetDTREnable(true);
        control.SetInputMode(1);
        control.SetOnComm([this] {
            events.push_back(control.GetCommEvent());
            handlerThreads.push_back(std::this_thread::get_id());
        });
    }

    void SetUp() override { ASSERT_FALSE(keyboard.Device().empty()) << "the simulator did not start"; }

    // Sends a frame and collects the reply until `length` bytes have come or
    // the time is up.
    Bytes Exchange(const Bytes& frame, std::size_t length, std::chrono::milliseconds limit = std::chrono::seconds(2))
    {
        control.SetRThreshold(static_cast<std::int16_t>(length));
        control.SetOutput(frame);
        RunLoopUntil([&] { return !events.empty(); }, limit);
        return control.GetInput();
    }

    ContractKeyboard keyboard;
    std::unique_ptr<CommControl> owned = MakeContractControl();
    CommControl& control = *owned;
    std::vector<std::int16_t> events;
    std::vector<std::thread::id> handlerThreads;
};

inline const Bytes kPing = {bootloader::kPing[0], bootloader::kPing[1], 0x01, 0xFE};
inline const Bytes kIdentification(bootloader::kIdentification.begin(), bootloader::kIdentification.end());

// The simulator's options for each suite: the build passes the same to the
// Windows runner.
struct KeyboardLink : KeyboardFixture {
    KeyboardLink() : KeyboardFixture({}) {}
};
// It answers every PING with "a", NUL, "b", Ctrl-Z.
struct KeyboardBytes : KeyboardFixture {
    KeyboardBytes() : KeyboardFixture({"--fault", "C0:bytes=6100621A"}) {}
};
// It answers only at 57600 baud.
struct KeyboardSpeed : KeyboardFixture {
    KeyboardSpeed() : KeyboardFixture({"--only-baud", "57600"}) {}
};
// It sends half its first reply and is gone.
struct KeyboardLoss : KeyboardFixture {
    KeyboardLoss() : KeyboardFixture({"--fault", "1:vanish"}) {}
};

} // namespace tavex::test
