#include "serial/qt/comm_control_host.h"

#include "serial/qt/comm_control.h"

#include <QCoreApplication>
#include <QThread>

namespace tavex {

bool QtCommControlHost::CreateEventReceiver()
{
    const QCoreApplication* const application = QCoreApplication::instance();
    return application != nullptr && application->thread() == QThread::currentThread();
}

std::unique_ptr<ICommControl> QtCommControlHost::CreateControl()
{
    if (!CreateEventReceiver()) {
        return nullptr;
    }
    if (devicePath_.isEmpty()) {
        return std::make_unique<QtCommControl>();
    }
    return std::make_unique<QtCommControl>(devicePath_);
}

} // namespace tavex
