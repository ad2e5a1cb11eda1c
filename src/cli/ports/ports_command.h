#pragma once

#include "cli/host/serial_port_entry.h"

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tavex {

// `ports [--json]`: the serial ports of this machine, one a line. Answers the
// exit code: 0, or 2 for a usage error.
int RunPortsCommand(std::span<const std::string_view> arguments);

// The system's list with the COM numbers that name each port; a device a
// COM number names that is there but not in the list (a pseudo-terminal, an
// adapter the system does not list) is added after it.
std::vector<SerialPortEntry> WithComMappings(std::vector<SerialPortEntry> ports, const std::vector<ComMapping>& mappings);

// One port, for people and as a JSON object.
std::string PortLine(const SerialPortEntry& port);
std::string PortJson(const SerialPortEntry& port);

} // namespace tavex
