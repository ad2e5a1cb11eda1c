#pragma once

#include "cli/download/download_target.h"
#include "cli/download/tracing_comm_control.h"
#include "serial/comm_control_host.h"
#include "serial/qt/qt_comm_control.h"

#include <QCoreApplication>

namespace tavex {

// Makes the comm control on the target's device, traced when asked.
class CliControlHost final : public ICommControlHost {
public:
    CliControlHost(DownloadTarget target, bool trace) : target_(std::move(target)), trace_(trace) {}
    bool CreateEventReceiver() override { return QCoreApplication::instance() != nullptr; }
    std::unique_ptr<ICommControl> CreateControl() override
    {
        std::unique_ptr<ICommControl> control =
            target_.device.empty() ? std::make_unique<QtCommControl>()
                                   : std::make_unique<QtCommControl>(QString::fromStdString(target_.device));
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
