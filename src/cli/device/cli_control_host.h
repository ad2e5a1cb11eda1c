#pragma once

#include "cli/device/download_target.h"
#include "cli/device/tracing_comm_control.h"
#include "cli/host/device_access.h"
#include "cli/host/platform_comm_control.h"
#include "serial/comm_control_host.h"

namespace tavex {

// Makes the comm control on the target's device, traced when asked.
class CliControlHost final : public ICommControlHost {
public:
    CliControlHost(DownloadTarget target, bool trace) : target_(std::move(target)), trace_(trace) {}
    bool CreateEventReceiver() override { return ThreadCanReceiveCommEvents(); }
    std::unique_ptr<ICommControl> CreateControl() override
    {
        // Taken when the session starts: a link may point at another device
        // after a keyboard is plugged in again.
        const std::string portPath = target_.device.empty() ? std::string() : PortPathOf(target_.device);
        std::unique_ptr<ICommControl> control = MakePlatformCommControl(portPath);
        if (trace_) {
            return std::make_unique<TracingCommControl>(std::move(control), target_.Label());
        }
        return control;
    }

private:
    DownloadTarget target_;
    bool trace_;
};

} // namespace tavex
