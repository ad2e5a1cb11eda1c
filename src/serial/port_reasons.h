#pragma once

// The reasons a port gives for an open it refuses, in the same words on
// every system, whatever each system's own error says.

namespace tavex::port_reason {

inline constexpr const char* kInUse = "in use by another program";
// A file or a null device: it opens like a port, then refuses every port call.
inline constexpr const char* kNotASerialPort = "not a serial port";

} // namespace tavex::port_reason
