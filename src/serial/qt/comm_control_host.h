#pragma once

// Hosts QtCommControl: notifications arrive through the Qt event loop of the
// thread that owns the QCoreApplication.

#include "serial/comm_control_host.h"

#include <QString>

#include <utility>

namespace tavex {

class QtCommControlHost : public ICommControlHost {
public:
    // Controls whose port is the device their COM number maps to.
    QtCommControlHost() = default;
    // Controls whose port is devicePath, as given on a command line.
    explicit QtCommControlHost(QString devicePath) : devicePath_(std::move(devicePath)) {}

    // False without a QCoreApplication, or on a thread other than its own.
    bool CreateEventReceiver() override;

    // Null where CreateEventReceiver fails: the control's notifications
    // would never arrive.
    std::unique_ptr<ICommControl> CreateControl() override;

private:
    QString devicePath_;
};

} // namespace tavex
