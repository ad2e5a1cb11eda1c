// The control's link to the device: opening and closing the port, the bytes
// in both directions and the notifications they raise.

#include "serial/qt/qt_comm_control.h"

#include "serial/qt/exclusive_claim.h"
#include "serial/qt/linux_serial_ioctl.h"
#include "serial/qt/lock_failure.h"
#include "serial/port_reasons.h"

#include <QByteArray>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <array>
#include <chrono>
#include <thread>

namespace tavex {

namespace {

// The errors after which the device can no longer be used: a read that gives
// nothing or fails, a failed write, the device gone.
constexpr std::array<QSerialPort::SerialPortError, 3> kDeviceLost = {
    QSerialPort::ReadError, QSerialPort::WriteError, QSerialPort::ResourceError};

// A USB adapter's own buffer still sends after the driver's queue is empty.
constexpr std::chrono::milliseconds kAdapterMargin(50);
// Under RTS/CTS handshaking a keyboard that holds CTS would hold the close.
constexpr std::chrono::seconds kMostCloseWait(1);
constexpr std::chrono::milliseconds kOutputPoll(1);

#ifdef Q_OS_UNIX
int Descriptor(const QSerialPort& port) { return static_cast<int>(port.handle()); }
#endif

} // namespace

void QtCommControl::ConnectPort()
{
    connect(&port_, &QSerialPort::readyRead, this, [this] { OnReadyRead(); });
    connect(&port_, &QSerialPort::bytesWritten, this, [this] { OnBytesWritten(); });
    connect(&port_, &QSerialPort::errorOccurred, this,
            [this](QSerialPort::SerialPortError error) { OnPortError(error); });
}

bool QtCommControl::GetPortOpen() { return port_.isOpen(); }

void QtCommControl::SetPortOpen(bool open)
{
    if (open) {
        OpenPort();
    } else {
        ClosePort();
    }
}

void QtCommControl::OpenPort()
{
    if (port_.isOpen()) {
        throw CommControlError("the port is already open");
    }
    const QString device = DeviceName();
    port_.setPortName(device);
    ++openCount_;
    lossSeen_ = false;
    if (!port_.open(QIODevice::ReadWrite)) {
        std::string reason = port_.errorString().toStdString();
#ifdef Q_OS_UNIX
        if (port_.error() == QSerialPort::PermissionError) {
            reason = LockFailureReason(device.toStdString()).value_or(reason);
        } else if (reason == std::strerror(ENOTTY)) {
            reason = port_reason::kNotASerialPort;  // a file or /dev/null: Qt's terminal calls fail
        }
#endif
        port_.clearError();
        throw CommControlError(device.toStdString() + ": " + reason);
    }
    try {
        ClaimAndPrepare();
    } catch (const CommControlError&) {
        ShutPort();
        throw;
    }
}

void QtCommControl::ClaimAndPrepare()
{
#ifdef Q_OS_UNIX
    const int fd = Descriptor(port_);
    if (ClaimExclusively(fd) == ClaimResult::kHeldElsewhere) {
        throw CommControlError(DeviceName().toStdString() + ": " + port_reason::kInUse);
    }
    // Without it a USB adapter holds received bytes back for some
    // milliseconds; a driver that has no such setting is used as it is.
    SetLowLatency(fd);
    lineErrors_ = ReadLineErrorCounts(fd);
#endif
    ApplyModemLines();
}

// Closing puts the device's earlier line settings back, so whatever was
// written leaves first, at the session's speed.
void QtCommControl::ClosePort()
{
    if (!port_.isOpen()) {
        return;
    }
    AwaitOutputSent();
    ShutPort();
}

// Until Qt's buffer and the driver's queue are empty and the last byte has
// had its time on the wire. What is still held after the longest wait is
// dropped: sent after the close it would go at the wrong speed, and the
// driver's close would wait for it.
void QtCommControl::AwaitOutputSent()
{
    using Clock = LineFreeTime::Clock;
    const Clock::time_point giveUp = Clock::now() + kMostCloseWait;
    const Clock::time_point lineFree = lineFree_.FreeAt() + kAdapterMargin;
    while (!lossSeen_ && (OutputQueued() || Clock::now() < lineFree)) {
        if (Clock::now() >= giveUp) {
            port_.clear(QSerialPort::Output);
            return;
        }
        std::this_thread::sleep_for(kOutputPoll);
    }
}

// The event loop does not run while the close waits, so Qt's buffer is
// pushed on here.
bool QtCommControl::OutputQueued()
{
    if (port_.bytesToWrite() > 0 && (!port_.flush() || port_.bytesToWrite() > 0)) {
        return true;
    }
#ifdef Q_OS_UNIX
    return OutputQueueBytes(Descriptor(port_)).value_or(0) > 0;
#else
    return false;
#endif
}

void QtCommControl::ShutPort()
{
    port_.close();
    received_.Clear();
    notifier_.Clear();
    unreadToDrop_ = 0;
    lineErrors_.reset();
    sendEventDue_ = false;
}

void QtCommControl::ApplyModemLines()
{
    ApplyModemLine(ModemLine::kDtr, dtrEnable_);
    ApplyModemLine(ModemLine::kRts, rtsEnable_);
}

void QtCommControl::ApplyModemLine(ModemLine line, bool assert)
{
    // Under RTS/CTS handshaking the driver drives RTS and Qt refuses to.
    if (line == ModemLine::kRts && port_.flowControl() == QSerialPort::HardwareControl) {
        return;
    }
    if (!SetModemLine(port_, line, assert)) {
        throw CommControlError(std::string(line == ModemLine::kDtr ? "DTR" : "RTS") + " could not be set");
    }
}

void QtCommControl::SetOutput(const std::vector<std::uint8_t>& bytes)
{
    RequireOpen("Output");
    if (bytes.empty()) {
        return;
    }
    const auto size = static_cast<qint64>(bytes.size());
    if (port_.write(reinterpret_cast<const char*>(bytes.data()), size) != size) {
        const std::string reason = port_.errorString().toStdString();
        port_.clearError();
        throw CommControlError("Output could not be written: " + reason);
    }
    // Qt would write at its next event-loop turn; the bytes go now. A write
    // the device refuses is reported through errorOccurred.
    port_.flush();
    lineFree_.Written(bytes.size(), lineSettings_, LineFreeTime::Clock::now());
    sendEventDue_ = sThreshold_ > 0;
}

std::vector<std::uint8_t> QtCommControl::GetInput()
{
    RequireOpen("Input");
    TakeArrivedBytes();
    return received_.Take(static_cast<std::size_t>(inputLen_));
}

// A reply the event loop has not read yet waits in the driver; dropping
// only what Qt and the control hold would leave it to run into the next
// reply. The driver's bytes are counted and dropped as they are read, not
// flushed: Qt may already have seen them waiting, and its read of a flushed
// queue would report the device as failed.
void QtCommControl::SetInBufferCount(std::int16_t count)
{
    RequireOpen("InBufferCount");
    if (count != 0) {
        throw CommControlError("InBufferCount can only be set to 0");
    }
    port_.readAll();
    received_.Clear();
#ifdef Q_OS_UNIX
    unreadToDrop_ = InputQueueBytes(Descriptor(port_)).value_or(0);
#endif
}

void QtCommControl::TakeArrivedBytes()
{
    const QByteArray arrived = port_.readAll();
    std::string_view bytes(arrived.constData(), static_cast<std::size_t>(arrived.size()));
    const std::size_t dropped = std::min(unreadToDrop_, bytes.size());
    bytes.remove_prefix(dropped);
    unreadToDrop_ -= dropped;
    if (received_.Append(bytes, nullDiscard_) &&
        eofEnable_) {
        notifier_.Raise(comm_event::kEof);
    }
}

void QtCommControl::OnReadyRead()
{
#ifdef Q_OS_UNIX
    if (lineErrors_) {
        if (const std::optional<LineErrorCounts> now = ReadLineErrorCounts(Descriptor(port_))) {
            for (const std::int16_t commEvent : NewLineErrors(*lineErrors_, *now)) {
                notifier_.Raise(commEvent);
            }
            lineErrors_ = now;
        }
    }
#endif
    TakeArrivedBytes();
    if (StillDue(comm_event::kReceive)) {
        notifier_.Raise(comm_event::kReceive);
    }
}

void QtCommControl::OnBytesWritten()
{
    if (sendEventDue_ && port_.bytesToWrite() < sThreshold_) {
        sendEventDue_ = false;
        notifier_.Raise(comm_event::kSend);
    }
}

// Qt reports here too what a call has already reported (a failed open, a
// modem line a pseudo-terminal lacks) and NoError after every open; those
// are no news. A lost device is: a pseudo-terminal whose other end closed
// gives a ReadError at every event-loop turn until the port is closed.
void QtCommControl::OnPortError(QSerialPort::SerialPortError error)
{
    const bool lost = std::find(kDeviceLost.begin(), kDeviceLost.end(), error) != kDeviceLost.end();
    if (!lost || lossSeen_ || !port_.isOpen()) {
        return;
    }
    lossSeen_ = true;
    // Qt reports from inside its read notifier, which closing the port now
    // would pull away from under it.
    const unsigned openCount = openCount_;
    QMetaObject::invokeMethod(this, [this, openCount] { CloseLostPort(openCount); }, Qt::QueuedConnection);
}

void QtCommControl::CloseLostPort(unsigned openCount)
{
    if (openCount != openCount_ || !port_.isOpen()) {
        return;  // closed, or closed and opened again, meanwhile
    }
    ShutPort();  // nothing written can leave any more
    // The driver can no longer give the port's state: a line error the
    // protocol sees at once instead of waiting out its reply time-out.
    notifier_.Raise(comm_event::kDcb);
}

bool QtCommControl::StillDue(std::int16_t commEvent) const
{
    if (commEvent != comm_event::kReceive) {
        return true;
    }
    return rThreshold_ > 0 && received_.Size() >= static_cast<std::size_t>(rThreshold_);
}

} // namespace tavex
