// The contract's platform part on Linux: the Qt control, the Qt event loop,
// and the simulator as a child process on a pseudo-terminal of its own.

#include "event_loop_wait.h"
#include "kbsim_process.h"
#include "keyboard_contract.h"
#include "serial/qt/comm_control.h"

namespace tavex::test {

struct ContractKeyboard::Process {
    explicit Process(const std::vector<std::string>& options) : simulator(options) {}
    KbsimProcess simulator;
};

ContractKeyboard::ContractKeyboard(const std::vector<std::string>& options)
    : process_(std::make_unique<Process>(options)), device_(process_->simulator.ReadLine(5000))
{
}

ContractKeyboard::~ContractKeyboard() = default;

std::unique_ptr<CommControl> MakeContractControl() { return std::make_unique<QtCommControl>(); }

bool RunLoopUntil(const std::function<bool()>& done, std::chrono::milliseconds limit)
{
    return RunEventsUntil(done, limit);
}

void RunLoopFor(std::chrono::milliseconds duration) { RunEventsFor(duration); }

} // namespace tavex::test
