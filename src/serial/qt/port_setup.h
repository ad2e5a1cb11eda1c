#pragma once

// Writes the control's properties onto a QSerialPort. Qt keeps the line
// settings and the flow control of a closed port and applies them when it
// opens; the modem lines it sets only while open.

#include "serial/line_settings.h"
#include "serial/port_backend.h"

#include <QSerialPort>

#include <cstdint>
#include <optional>

namespace tavex {

// False for settings this system's port cannot run: Qt on Unix takes 1.5
// stop bits without complaint but sets one, as termios has no 1.5.
bool PortCanRun(const LineSettings& settings);

// False when the port refused one of them; its errorString says why.
bool ApplyLineSettings(QSerialPort& port, const LineSettings& settings);

// The flow control for a Handshaking value 0 to 3; empty for any other.
std::optional<QSerialPort::FlowControl> FlowControlFor(std::int32_t handshaking);

// Asserts or releases a modem line of an open port. A device without modem
// lines (a pseudo-terminal) counts as done; false only when a device that has
// them failed.
bool SetModemLine(QSerialPort& port, ModemLine line, bool assert);

} // namespace tavex
