#include "serial/win32/port_setup.h"

namespace tavex {

namespace {

constexpr std::int32_t kXonXoff = 1;
constexpr std::int32_t kBoth = 3;

constexpr char kXon = 0x11;
constexpr char kXoff = 0x13;

// What a driver answers for a line it does not have: wine on a
// pseudo-terminal gives ERROR_NOT_SUPPORTED, a driver without the request
// ERROR_INVALID_FUNCTION.
bool LineNotSupported(DWORD error) { return error == ERROR_NOT_SUPPORTED || error == ERROR_INVALID_FUNCTION; }

} // namespace

bool HandshakingValid(std::int32_t handshaking) { return handshaking >= 0 && handshaking <= kBoth; }

void FillDcb(DCB& dcb, const PortState& state)
{
    dcb.DCBlength = sizeof(DCB);
    ApplyDcbSettings(dcb, state.line);
    dcb.fBinary = TRUE;
    dcb.fErrorChar = FALSE;
    dcb.fNull = FALSE;
    dcb.fAbortOnError = FALSE;  // a line error must not stop every later read
    dcb.fDsrSensitivity = FALSE;
    dcb.fOutxDsrFlow = FALSE;
    dcb.fDtrControl = state.dtr ? DTR_CONTROL_ENABLE : DTR_CONTROL_DISABLE;

    const bool rtsCts = RtsIsHandshake(state.handshaking);
    dcb.fOutxCtsFlow = rtsCts ? TRUE : FALSE;
    if (rtsCts) {
        dcb.fRtsControl = RTS_CONTROL_HANDSHAKE;
    } else {
        dcb.fRtsControl = state.rts ? RTS_CONTROL_ENABLE : RTS_CONTROL_DISABLE;
    }

    const bool xonXoff = state.handshaking == kXonXoff || state.handshaking == kBoth;
    dcb.fOutX = xonXoff ? TRUE : FALSE;
    dcb.fInX = xonXoff ? TRUE : FALSE;
    dcb.fTXContinueOnXoff = TRUE;
    dcb.XonChar = kXon;
    dcb.XoffChar = kXoff;
    dcb.XonLim = 0;
    dcb.XoffLim = 0;
}

DWORD ApplyPortState(HANDLE port, const PortState& state)
{
    DCB dcb{};
    dcb.DCBlength = sizeof(DCB);
    if (!GetCommState(port, &dcb)) {
        return GetLastError();
    }
    FillDcb(dcb, state);
    if (!SetCommState(port, &dcb)) {
        return GetLastError();
    }
    return 0;
}

DWORD ApplyTimeouts(HANDLE port)
{
    COMMTIMEOUTS timeouts{};
    timeouts.ReadIntervalTimeout = MAXDWORD;
    timeouts.ReadTotalTimeoutMultiplier = 0;
    timeouts.ReadTotalTimeoutConstant = 0;
    timeouts.WriteTotalTimeoutMultiplier = 0;
    timeouts.WriteTotalTimeoutConstant = 0;
    return SetCommTimeouts(port, &timeouts) ? 0 : GetLastError();
}

bool SetModemLine(HANDLE port, ModemLine line, bool assert)
{
    DWORD function = 0;
    if (line == ModemLine::kDtr) {
        function = assert ? SETDTR : CLRDTR;
    } else {
        function = assert ? SETRTS : CLRRTS;
    }
    if (EscapeCommFunction(port, function)) {
        return true;
    }
    return LineNotSupported(GetLastError());
}

} // namespace tavex
