#include "serial/qt/qt_comm_control.h"

#include "serial/qt/qt_port_backend.h"

namespace tavex {

QtCommControl::QtCommControl() : CommControl(std::make_unique<QtPortBackend>()) {}

QtCommControl::QtCommControl(const QString& devicePath) : QtCommControl() { SetDevicePath(devicePath); }

} // namespace tavex
