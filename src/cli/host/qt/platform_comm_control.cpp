#include "cli/host/platform_comm_control.h"

#include "serial/qt/comm_control.h"

#include <QCoreApplication>

namespace tavex {

bool ThreadCanReceiveCommEvents() { return QCoreApplication::instance() != nullptr; }

std::unique_ptr<ICommControl> MakePlatformCommControl(const std::string& devicePath)
{
    if (devicePath.empty()) {
        return std::make_unique<QtCommControl>();
    }
    return std::make_unique<QtCommControl>(QString::fromStdString(devicePath));
}

} // namespace tavex
