#pragma once

// What the system knows of its serial ports, for `tavexdl-cli ports`. Only
// lists: never opens a port.

#include "cli/host/serial_port_entry.h"

#include <optional>
#include <string>
#include <vector>

namespace tavex {

// The ports the system lists, in its order.
std::vector<SerialPortEntry> ListSerialPorts();

// Where each COM number points off Windows (the environment, the settings,
// the default); on Windows COM n is the port COMn itself, and nothing is
// answered.
std::vector<ComMapping> ComPortMappings();

// The process that holds the device, where the system can tell without
// opening it: a live lock file off Windows; nothing on Windows.
std::optional<long> PortHolder(const std::string& device);

} // namespace tavex
