// The control's link to the device: opening and closing the port, the bytes
// in both directions and the notifications they raise.

#include "serial/win32/win32_comm_control.h"

#include "serial/win32/comm_errors.h"
#include "serial/port_reasons.h"

#include <chrono>
#include <limits>
#include <thread>

namespace tavex {

namespace {

// A USB adapter's own buffer still sends after the driver's queue is empty.
constexpr std::chrono::milliseconds kAdapterMargin(50);
// Under RTS/CTS handshaking a keyboard that holds CTS would hold the close.
constexpr std::chrono::seconds kMostCloseWait(1);
constexpr std::chrono::milliseconds kOutputPoll(1);
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

} // namespace

bool Win32CommControl::GetPortOpen() { return IsOpen(); }

void Win32CommControl::SetPortOpen(bool open)
{
    if (open) {
        OpenPort();
    } else {
        ClosePort();
    }
}

// Shared with nobody: a second open of the port, by this program or another,
// is refused while this handle is open. The system refuses it on Windows'
// own ports; the claim refuses it where the driver would share the port.
void Win32CommControl::OpenPort()
{
    if (IsOpen()) {
        throw CommControlError("the port is already open");
    }
    const std::string device = DeviceName();
    if (claim_.Claim(device) == PortClaimResult::kHeldElsewhere) {
        throw CommControlError(device + ": " + port_reason::kInUse);
    }
    const HANDLE port = CreateFileW(WideFromUtf8(device).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
    if (port == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        claim_.Release();
        throw CommControlError(device + ": " + OpenFailureText(error, device));
    }
    port_ = port;
    try {
        PreparePort(device);
    } catch (const CommControlError&) {
        ShutPort();
        throw;
    }
}

void Win32CommControl::PreparePort(const std::string& device)
{
    if (!IsCommDevice(port_)) {
        throw CommControlError(device + ": " + port_reason::kNotASerialPort);
    }
    const auto require = [&device](DWORD error, const char* what) {
        if (error != 0) {
            throw CommControlError(device + ": " + what + ": " + SystemErrorText(error));
        }
    };
    require(SetupComm(port_, static_cast<DWORD>(inBufferSize_), static_cast<DWORD>(outBufferSize_))
                ? 0
                : GetLastError(),
            "the buffer sizes were refused");
    require(ApplyPortState(port_, State()), "the line settings were refused");
    require(ApplyTimeouts(port_), "the time-outs were refused");
    require(SetCommMask(port_, kPortReaderEvents) ? 0 : GetLastError(), "the events were refused");
    ApplyModemLines();
    lineFree_ = LineFreeTime();
    reader_ = std::make_unique<PortReader>(port_, SystemReaderCalls(), [this] { return window_.Post(kArrivedMessage); });
    if (!reader_->Started()) {
        reader_.reset();
        throw CommControlError(device + ": the port's reader could not be started");
    }
}

void Win32CommControl::ClosePort()
{
    if (!IsOpen()) {
        return;
    }
    AwaitOutputSent();
    ShutPort();
}

// Until the driver's queue is empty and the last byte has had its time on
// the wire. What is still held after the longest wait is dropped: the next
// user of the port would otherwise get it at their own settings.
void Win32CommControl::AwaitOutputSent()
{
    using Clock = LineFreeTime::Clock;
    const Clock::time_point giveUp = Clock::now() + kMostCloseWait;
    const Clock::time_point lineFree = lineFree_.FreeAt() + kAdapterMargin;
    while (OutputQueued() || Clock::now() < lineFree) {
        if (Clock::now() >= giveUp) {
            PurgeComm(port_, PURGE_TXABORT | PURGE_TXCLEAR);
            return;
        }
        std::this_thread::sleep_for(kOutputPoll);
    }
}

// A driver that can no longer tell (a lost device) has nothing to send.
bool Win32CommControl::OutputQueued() const
{
    DWORD errors = 0;
    COMSTAT status{};
    return ClearCommError(port_, &errors, &status) && status.cbOutQue > 0;
}

void Win32CommControl::ShutPort()
{
    if (reader_) {
        reader_->Stop();  // before its port goes
    }
    PurgeComm(port_, PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR);
    CloseHandle(port_);
    port_ = INVALID_HANDLE_VALUE;
    reader_.reset();  // after the port: no operation of the port is left to end
    claim_.Release();
    received_.Clear();
    notifier_.Clear();
    lossPending_ = false;
}

void Win32CommControl::ApplyModemLines()
{
    ApplyModemLine(ModemLine::kDtr, dtrEnable_);
    ApplyModemLine(ModemLine::kRts, rtsEnable_);
}

void Win32CommControl::ApplyModemLine(ModemLine line, bool assert)
{
    // Under RTS/CTS handshaking the driver drives RTS.
    if (line == ModemLine::kRts && RtsIsHandshake(handshaking_)) {
        return;
    }
    if (!SetModemLine(port_, line, assert)) {
        throw CommControlError(std::string(line == ModemLine::kDtr ? "DTR" : "RTS") + " could not be set: " +
                               SystemErrorText(GetLastError()));
    }
}

void Win32CommControl::SetOutput(const std::vector<std::uint8_t>& bytes)
{
    RequireOpen("Output");
    if (bytes.empty()) {
        return;
    }
    WriteAll(bytes);
    lineFree_.Written(bytes.size(), lineSettings_, LineFreeTime::Clock::now());
    // The driver has every byte: nothing of the write waits in the control.
    if (sThreshold_ > 0) {
        notifier_.Raise(comm_event::kSend);
    }
}

// One overlapped write, waited for: the driver has the bytes, or the control
// says why not.
void Win32CommControl::WriteAll(const std::vector<std::uint8_t>& bytes)
{
    if (bytes.size() > std::numeric_limits<DWORD>::max()) {
        throw CommControlError("Output could not be written: " + std::to_string(bytes.size()) +
                               " bytes are more than one write takes");
    }
    const auto size = static_cast<DWORD>(bytes.size());
    OVERLAPPED overlapped{};
    overlapped.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (overlapped.hEvent == nullptr) {
        throw CommControlError("Output could not be written: " + SystemErrorText(GetLastError()));
    }
    const auto bound = std::chrono::ceil<std::chrono::milliseconds>(WireTime(bytes.size(), lineSettings_) + kWriteMargin);
    DWORD error = 0;
    bool timedOut = false;
    if (!WriteFile(port_, bytes.data(), size, nullptr, &overlapped)) {
        error = GetLastError();
        if (error == ERROR_IO_PENDING) {
            error = 0;
            const auto waitMs = static_cast<DWORD>(std::min<std::chrono::milliseconds::rep>(bound.count(), INFINITE - 1));
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
    if (timedOut && written < size) {
        throw CommControlError("Output could not be written: the port took " + std::to_string(written) + " of " +
                               std::to_string(size) + " bytes in " + std::to_string(bound.count()) + " ms");
    }
    if (error != 0) {
        throw CommControlError("Output could not be written: " + SystemErrorText(error));
    }
    if (written != size) {
        throw CommControlError("Output could not be written: the port took " + std::to_string(written) + " of " +
                               std::to_string(size) + " bytes");
    }
}

std::vector<std::uint8_t> Win32CommControl::GetInput()
{
    RequireOpen("Input");
    TakeArrived();
    return received_.Take(static_cast<std::size_t>(inputLen_));
}

// The driver's queue first, then what the reader took from it before: both
// arrived before the call. Line errors and a loss the reader saw are kept.
void Win32CommControl::SetInBufferCount(std::int16_t count)
{
    RequireOpen("InBufferCount");
    if (count != 0) {
        throw CommControlError("InBufferCount can only be set to 0");
    }
    if (!PurgeComm(port_, PURGE_RXCLEAR)) {
        throw CommControlError("Input could not be dropped: " + SystemErrorText(GetLastError()));
    }
    TakeArrived();
    received_.Clear();
}

// What the reader has so far. A loss it reports is handled from the message
// loop, never inside a property read.
void Win32CommControl::TakeArrived()
{
    if (!reader_) {
        return;
    }
    ReaderNews news = reader_->Take();
    for (const std::int16_t commEvent : LineErrorEvents(news.lineErrors)) {
        notifier_.Raise(commEvent);
    }
    const std::string_view bytes(reinterpret_cast<const char*>(news.bytes.data()), news.bytes.size());
    if (received_.Append(bytes, nullDiscard_) && eofEnable_) {
        notifier_.Raise(comm_event::kEof);
    }
    if (news.lostError && !lossPending_) {
        lossPending_ = true;
        window_.Post(kArrivedMessage);
    }
}

void Win32CommControl::OnMessage(UINT message)
{
    if (message == kArrivedMessage) {
        OnArrived();
    } else if (message == kDeliverMessage) {
        notifier_.DeliverPending();
    }
}

void Win32CommControl::OnArrived()
{
    if (!IsOpen()) {
        return;  // news of a port closed meanwhile
    }
    TakeArrived();
    if (lossPending_) {
        ShutPort();  // nothing written can leave any more
        // The driver can no longer give the port's state: a line error the
        // protocol sees at once instead of waiting out its reply time-out.
        notifier_.Raise(comm_event::kDcb);
        return;
    }
    if (StillDue(comm_event::kReceive)) {
        notifier_.Raise(comm_event::kReceive);
    }
}

bool Win32CommControl::StillDue(std::int16_t commEvent) const
{
    if (commEvent != comm_event::kReceive) {
        return true;
    }
    return rThreshold_ > 0 && received_.Size() >= static_cast<std::size_t>(rThreshold_);
}

} // namespace tavex
