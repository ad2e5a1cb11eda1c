#pragma once

// The comm control on Qt's QSerialPort. Notifications come from the Qt event
// loop of the thread that made the control.

#include "serial/comm_control_core.h"

#include <QString>

namespace tavex {

class QtCommControl : public CommControl {
public:
    // The port is the device CommPort's number maps to (ComDeviceName).
    QtCommControl();
    // The port is devicePath whatever CommPort says.
    explicit QtCommControl(const QString& devicePath);

    // A device path to use instead of the COM number's device; an empty path
    // goes back to the COM number. Refused while the port is open.
    void SetDevicePath(const QString& devicePath) { CommControl::SetDevicePath(devicePath.toStdString()); }
};

} // namespace tavex
