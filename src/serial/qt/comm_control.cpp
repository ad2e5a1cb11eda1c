#include "serial/qt/comm_control.h"

#include "serial/qt/port_backend.h"

namespace tavex {

QtCommControl::QtCommControl() : CommControl(std::make_unique<QtPortBackend>()) {}

QtCommControl::QtCommControl(const QString& devicePath) : QtCommControl() { SetDevicePath(devicePath); }

} // namespace tavex
