#pragma once

// Writes the control's properties onto an open COM port: the DCB's line
// settings and handshaking, the timeouts the reader and writer rely on, the
// modem lines.

#include "platform/win32/windows_api.h"
#include "serial/port_backend.h"
#include "serial/win32/dcb_settings.h"

#include <cstdint>

namespace tavex {

// True for a Handshaking value the control takes: 0 none, 1 XON/XOFF,
// 2 RTS/CTS, 3 both.
bool HandshakingValid(std::int32_t handshaking);

// Fills the DCB from the properties: binary mode, the line settings, the
// handshaking and the modem lines the port opens with. Nothing is replaced
// and no byte dropped: the control hands every byte on as it came.
void FillDcb(DCB& dcb, const PortState& state);

// Reads the port's DCB, fills it and writes it back; the system's error
// code when the driver refuses (0 on success).
DWORD ApplyPortState(HANDLE port, const PortState& state);

// A read returns at once with what has arrived (the reader waits for the
// bytes by itself); a write has no time limit of the driver's (the control
// bounds its wait).
DWORD ApplyTimeouts(HANDLE port);

// Asserts or releases a modem line. A device without modem lines (a
// pseudo-terminal) counts as done; false only when a device that has them
// failed.
bool SetModemLine(HANDLE port, ModemLine line, bool assert);

} // namespace tavex
