#include "serial/win32/port_backend.h"

#include "serial/comm_control.h"
#include "serial/port_reasons.h"
#include "serial/win32/com_device_path.h"
#include "serial/win32/comm_errors.h"
#include "serial/win32/port_setup.h"

#include <chrono>
#include <limits>

namespace tavex {

namespace {

// A write waits for the driver to take its bytes at most their wire time and
// this: longer, and a keyboard holding CTS has stopped the line.
constexpr std::chrono::seconds kWriteMargin(1);

// A file or NUL opens like a port, and then refuses every comm call.
bool IsCommDevice(HANDLE handle)
{
    DCB state{};
    state.DCBlength = sizeof state;
    return GetFileType(handle) == FILE_TYPE_CHAR && GetCommState(handle, &state) != 0;
}

std::optional<std::string> Failure(DWORD error)
{
    return error == 0 ? std::nullopt : std::optional<std::string>(SystemErrorText(error));
}

DWORD LastErrorUnless(BOOL done) { return done ? 0 : GetLastError(); }

} // namespace

Win32PortBackend::Win32PortBackend()
{
    if (!window_.Valid()) {
        throw CommControlError("the control's message window could not be made: " +
                               SystemErrorText(GetLastError()));
    }
}

Win32PortBackend::~Win32PortBackend() { Close(); }

std::string Win32PortBackend::ComDevice(std::int16_t comNumber) const { return ComDevicePath(comNumber); }

std::string Win32PortBackend::NormaliseDevice(const std::string& devicePath) const
{
    return NormaliseDevicePath(devicePath);
}

// Shared with nobody: a second open of the port, by this program or another,
// is refused while this handle is open. The system refuses it on Windows'
// own ports; the claim refuses it where the driver would share the port.
void Win32PortBackend::Open(const std::string& device, const PortState& state, std::int16_t inBufferSize,
                            std::int16_t outBufferSize)
{
    if (claim_.Claim(device) == PortClaimResult::kHeldElsewhere) {
        throw CommControlError(device + ": " + port_reason::kInUse, ErrorCategory::kInUse);
    }
    const HANDLE port = CreateFileW(WideFromUtf8(device).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
    if (port == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        claim_.Release();
        const SystemReason reason = OpenFailureReason(error, device);
        throw CommControlError(device + ": " + reason.text, reason.category);
    }
    port_ = port;
    lost_ = false;
    try {
        Prepare(device, state, inBufferSize, outBufferSize);
    } catch (const CommControlError&) {
        Close();
        throw;
    }
}

void Win32PortBackend::Prepare(const std::string& device, const PortState& state, std::int16_t inBufferSize,
                               std::int16_t outBufferSize)
{
    if (!IsCommDevice(port_)) {
        throw CommControlError(device + ": " + port_reason::kNotASerialPort, ErrorCategory::kUnsupported);
    }
    const auto require = [&device](DWORD error, const char* what) {
        if (error != 0) {
            throw CommControlError(device + ": " + what + ": " + SystemErrorText(error), SystemErrorCategory(error));
        }
    };
    require(LastErrorUnless(SetupComm(port_, static_cast<DWORD>(inBufferSize), static_cast<DWORD>(outBufferSize))),
            "the buffer sizes were refused");
    require(ApplyPortState(port_, state), "the line settings were refused");
    line_ = state.line;
    require(ApplyTimeouts(port_), "the time-outs were refused");
    require(LastErrorUnless(SetCommMask(port_, kPortReaderEvents)), "the events were refused");
    reader_ = std::make_unique<PortReader>(port_, SystemReaderCalls(), [this] { return RequestArrivedTurn(); });
    if (!reader_->Started()) {
        reader_.reset();
        throw CommControlError(device + ": the port's reader could not be started", ErrorCategory::kOther);
    }
}

void Win32PortBackend::Close()
{
    if (!IsOpen()) {
        return;
    }
    if (reader_) {
        reader_->Stop();  // before its port goes
    }
    PurgeComm(port_, PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR);
    CloseHandle(port_);
    port_ = INVALID_HANDLE_VALUE;
    reader_.reset();  // after the port: no operation of the port is left to end
    claim_.Release();
    lost_ = false;
}

std::optional<std::string> Win32PortBackend::Configure(const PortState& state)
{
    if (const DWORD error = ApplyPortState(port_, state); error != 0) {
        return SystemErrorText(error);
    }
    line_ = state.line;
    return std::nullopt;
}

std::optional<std::string> Win32PortBackend::SetModemLine(ModemLine line, bool assert)
{
    if (tavex::SetModemLine(port_, line, assert)) {
        return std::nullopt;
    }
    return SystemErrorText(GetLastError());
}

// One overlapped write, waited for: the driver has the bytes, or the back
// end says why not.
std::optional<std::string> Win32PortBackend::Write(const std::vector<std::uint8_t>& bytes)
{
    if (bytes.size() > std::numeric_limits<DWORD>::max()) {
        return std::to_string(bytes.size()) + " bytes are more than one write takes";
    }
    const auto size = static_cast<DWORD>(bytes.size());
    OVERLAPPED overlapped{};
    overlapped.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (overlapped.hEvent == nullptr) {
        return SystemErrorText(GetLastError());
    }
    const auto bound = std::chrono::ceil<std::chrono::milliseconds>(WireTime(bytes.size(), line_) + kWriteMargin);
    DWORD error = 0;
    bool timedOut = false;
    if (!WriteFile(port_, bytes.data(), size, nullptr, &overlapped)) {
        error = GetLastError();
        if (error == ERROR_IO_PENDING) {
            error = 0;
            const auto waitMs =
                static_cast<DWORD>(std::min<std::chrono::milliseconds::rep>(bound.count(), INFINITE - 1));
            if (WaitForSingleObject(overlapped.hEvent, waitMs) != WAIT_OBJECT_0) {
                timedOut = true;
                CancelIoEx(port_, &overlapped);
            }
        }
    }
    DWORD written = 0;
    if (error == 0 && !GetOverlappedResult(port_, &overlapped, &written, TRUE)) {
        error = GetLastError();
    }
    CloseHandle(overlapped.hEvent);
    const std::string took = "the port took " + std::to_string(written) + " of " + std::to_string(size) + " bytes";
    if (timedOut && written < size) {
        return took + " in " + std::to_string(bound.count()) + " ms";
    }
    if (error != 0) {
        return SystemErrorText(error);
    }
    if (written != size) {
        return took;
    }
    return std::nullopt;
}

// A driver that can no longer tell (a lost device) has nothing to send.
bool Win32PortBackend::OutputQueued()
{
    DWORD errors = 0;
    COMSTAT status{};
    return ClearCommError(port_, &errors, &status) && status.cbOutQue > 0;
}

void Win32PortBackend::DropOutput() { PurgeComm(port_, PURGE_TXABORT | PURGE_TXCLEAR); }

Arrived Win32PortBackend::TakeArrived()
{
    Arrived arrived;
    if (!reader_) {
        return arrived;
    }
    ReaderNews news = reader_->Take();
    arrived.lineErrors = LineErrorEvents(news.lineErrors);
    arrived.bytes.assign(news.bytes.begin(), news.bytes.end());
    lost_ = lost_ || news.lostError.has_value();
    arrived.lost = lost_;
    return arrived;
}

// The driver's queue; what the reader took from it before is the control's
// to take and drop.
std::optional<std::string> Win32PortBackend::DropInput()
{
    return Failure(LastErrorUnless(PurgeComm(port_, PURGE_RXCLEAR)));
}

void Win32PortBackend::OnMessage(UINT message)
{
    if (message == kArrivedMessage) {
        listener_->OnArrived();
    } else if (message == kDeliveryMessage) {
        listener_->OnDeliveryTurn();
    }
}

} // namespace tavex
