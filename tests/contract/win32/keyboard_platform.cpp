// The contract's platform part on Windows: the Win32 control, the thread's
// message loop, and the simulator with_keyboard.sh serves on COM1.

#include "keyboard_contract.h"
#include "message_pump.h"
#include "serial/win32/comm_control.h"

namespace tavex::test {

struct ContractKeyboard::Process {};

ContractKeyboard::ContractKeyboard(const std::vector<std::string>&) : device_("COM1") {}

ContractKeyboard::~ContractKeyboard() = default;

std::unique_ptr<CommControl> MakeContractControl() { return std::make_unique<Win32CommControl>(); }

bool RunLoopUntil(const std::function<bool()>& done, std::chrono::milliseconds limit)
{
    return PumpMessagesUntil(done, limit);
}

void RunLoopFor(std::chrono::milliseconds duration) { PumpMessagesFor(duration); }

} // namespace tavex::test
