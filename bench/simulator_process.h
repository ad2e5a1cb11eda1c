#pragma once

// tavexdl-kbsim started for one download: it serves one host (--once) and
// its first line names the device to open.

#include <string>
#include <sys/types.h>
#include <vector>

namespace tavex::bench {

class SimulatorProcess {
public:
    SimulatorProcess(const std::string& program, const std::vector<std::string>& options);
    ~SimulatorProcess();
    SimulatorProcess(const SimulatorProcess&) = delete;
    SimulatorProcess& operator=(const SimulatorProcess&) = delete;

    const std::string& Device() const { return device_; }  // empty when it did not start
    // Waits for it to end; answers its summary (the rest of its output).
    std::string Finish();

private:
    pid_t pid_ = -1;
    int output_ = -1;
    std::string device_;
};

} // namespace tavex::bench
