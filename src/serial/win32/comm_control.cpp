#include "serial/win32/comm_control.h"

#include "serial/win32/port_backend.h"

namespace tavex {

Win32CommControl::Win32CommControl() : CommControl(std::make_unique<Win32PortBackend>()) {}

Win32CommControl::Win32CommControl(const std::string& devicePath) : Win32CommControl() { SetDevicePath(devicePath); }

} // namespace tavex
