#include "serial/qt/port_backend.h"

#include "serial/comm_control.h"
#include "serial/port_reasons.h"
#include "serial/qt/com_device_map.h"
#include "serial/posix/exclusive_claim.h"
#include "serial/posix/linux_serial_ioctl.h"
#include "serial/posix/lock_failure.h"
#include "serial/qt/port_setup.h"

#include <QByteArray>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <optional>
#include <utility>

namespace tavex {

namespace {

// The errors after which the device can no longer be used: a read that gives
// nothing or fails, a failed write, the device gone.
constexpr std::array<QSerialPort::SerialPortError, 3> kDeviceLost = {
    QSerialPort::ReadError, QSerialPort::WriteError, QSerialPort::ResourceError};

#ifdef Q_OS_UNIX
int Descriptor(const QSerialPort& port) { return static_cast<int>(port.handle()); }
#endif

// Qt reports a write the driver cannot take yet, its queue full while the
// line is held (CTS) or slow, as a resource error, as it does a device that
// is gone; this one is still there, and the bytes wait for room.
bool DeviceIsOnlyFull(const QSerialPort& port)
{
    return port.errorString().toStdString() == std::strerror(EAGAIN);
}

// What Qt's error of a failed open stands for.
constexpr std::array<std::pair<QSerialPort::SerialPortError, ErrorCategory>, 4> kOpenErrorCategories = {{
    {QSerialPort::DeviceNotFoundError, ErrorCategory::kNotFound},
    {QSerialPort::PermissionError, ErrorCategory::kPermission},
    {QSerialPort::OpenError, ErrorCategory::kInUse},
    {QSerialPort::UnsupportedOperationError, ErrorCategory::kUnsupported},
}};

ErrorCategory OpenErrorCategory(QSerialPort::SerialPortError error)
{
    for (const auto& [qtError, category] : kOpenErrorCategories) {
        if (qtError == error) {
            return category;
        }
    }
    return ErrorCategory::kOther;
}

#ifdef Q_OS_UNIX
// Qt gives a system error as its C library text only: the errors a category
// stands for are known by it.
std::optional<int> ErrnoOfText(const std::string& text)
{
    for (const int number : {ENOENT, ENODEV, ENXIO, EACCES, EPERM, EBUSY, EMFILE, ENFILE}) {
        if (text == std::strerror(number)) {
            return number;
        }
    }
    return std::nullopt;
}
#endif

std::string ReasonOf(QSerialPort& port)
{
    std::string reason = port.errorString().toStdString();
    port.clearError();
    return reason;
}

} // namespace

QtPortBackend::QtPortBackend()
{
    connect(&port_, &QSerialPort::readyRead, this, [this] { listener_->OnArrived(); });
    connect(&port_, &QSerialPort::bytesWritten, this, [this] { listener_->OnWritten(); });
    connect(&port_, &QSerialPort::errorOccurred, this,
            [this](QSerialPort::SerialPortError error) { OnPortError(error); });
}

QtPortBackend::~QtPortBackend() { disconnect(&port_, nullptr, this, nullptr); }

std::string QtPortBackend::ComDevice(std::int16_t comNumber) const { return ComDeviceName(comNumber).toStdString(); }

bool QtPortBackend::CanRun(const LineSettings& settings) const { return PortCanRun(settings); }

// Qt keeps the settings of a closed port and applies them as it opens.
void QtPortBackend::Open(const std::string& device, const PortState& state, std::int16_t, std::int16_t)
{
    Configure(state);
    port_.setPortName(QString::fromStdString(device));
    lost_ = false;
    if (!port_.open(QIODevice::ReadWrite)) {
        const SystemReason reason = OpenFailure(device);
        throw CommControlError(device + ": " + reason.text, reason.category);
    }
    try {
        Claim(device);
    } catch (const CommControlError&) {
        Close();
        throw;
    }
}

SystemReason QtPortBackend::OpenFailure(const std::string& device)
{
    const QSerialPort::SerialPortError error = port_.error();
    SystemReason reason{ReasonOf(port_), OpenErrorCategory(error)};
#ifdef Q_OS_UNIX
    if (error == QSerialPort::PermissionError) {
        return LockFailureReason(device).value_or(reason);
    }
    if (reason.text == std::strerror(ENOTTY)) {
        // a file or /dev/null: Qt's terminal calls fail
        return {port_reason::kNotASerialPort, ErrorCategory::kUnsupported};
    }
    if (const std::optional<int> number = ErrnoOfText(reason.text)) {
        reason.category = ErrnoCategory(*number);
    }
#else
    (void)device;
#endif
    return reason;
}

void QtPortBackend::Claim(const std::string& device)
{
#ifdef Q_OS_UNIX
    const int fd = Descriptor(port_);
    if (ClaimExclusively(fd) == ClaimResult::kHeldElsewhere) {
        throw CommControlError(device + ": " + port_reason::kInUse, ErrorCategory::kInUse);
    }
    // Without it a USB adapter holds received bytes back for some
    // milliseconds; a driver that has no such setting is used as it is.
    SetLowLatency(fd);
    lineErrors_ = ReadLineErrorCounts(fd);
#else
    (void)device;
#endif
}

void QtPortBackend::Close()
{
    port_.close();
    unreadToDrop_ = 0;
    lineErrors_.reset();
}

std::optional<std::string> QtPortBackend::Configure(const PortState& state)
{
    if (!ApplyLineSettings(port_, state.line) || !port_.setFlowControl(*FlowControlFor(state.handshaking))) {
        return ReasonOf(port_);
    }
    return std::nullopt;
}

std::optional<std::string> QtPortBackend::SetModemLine(ModemLine line, bool assert)
{
    if (tavex::SetModemLine(port_, line, assert)) {
        return std::nullopt;
    }
    return std::string();  // Qt gives no reason of its own here
}

std::optional<std::string> QtPortBackend::Write(const std::vector<std::uint8_t>& bytes)
{
    const auto size = static_cast<qint64>(bytes.size());
    if (port_.write(reinterpret_cast<const char*>(bytes.data()), size) != size) {
        return ReasonOf(port_);
    }
    // Qt would write at its next event-loop turn; the bytes go now. A write
    // the device refuses is reported through errorOccurred.
    port_.flush();
    return std::nullopt;
}

std::size_t QtPortBackend::BytesHeldForWriting() const { return static_cast<std::size_t>(port_.bytesToWrite()); }

// The event loop does not run while a close waits, so Qt's buffer is pushed
// on here.
bool QtPortBackend::OutputQueued()
{
    if (lost_) {
        return false;
    }
    if (port_.bytesToWrite() > 0 && (!port_.flush() || port_.bytesToWrite() > 0)) {
        return true;
    }
#ifdef Q_OS_UNIX
    return OutputQueueBytes(Descriptor(port_)).value_or(0) > 0;
#else
    return false;
#endif
}

void QtPortBackend::DropOutput() { port_.clear(QSerialPort::Output); }

Arrived QtPortBackend::TakeArrived()
{
    Arrived arrived;
    CheckLineErrors(arrived);
    const QByteArray bytes = port_.readAll();
    const std::size_t dropped = std::min(unreadToDrop_, static_cast<std::size_t>(bytes.size()));
    unreadToDrop_ -= dropped;
    arrived.bytes.assign(bytes.constData() + dropped, static_cast<std::size_t>(bytes.size()) - dropped);
    arrived.lost = lost_;
    return arrived;
}

void QtPortBackend::CheckLineErrors(Arrived& arrived)
{
#ifdef Q_OS_UNIX
    if (!lineErrors_) {
        return;
    }
    if (const std::optional<LineErrorCounts> now = ReadLineErrorCounts(Descriptor(port_))) {
        arrived.lineErrors = NewLineErrors(*lineErrors_, *now);
        lineErrors_ = now;
    }
#else
    (void)arrived;
#endif
}

// A reply the event loop has not read yet waits in the driver; dropping
// only what Qt holds would leave it to run into the next reply. The
// driver's bytes are counted and dropped as they are read, not flushed: Qt
// may already have seen them waiting, and its read of a flushed queue would
// report the device as failed.
std::optional<std::string> QtPortBackend::DropInput()
{
    port_.readAll();
#ifdef Q_OS_UNIX
    unreadToDrop_ = InputQueueBytes(Descriptor(port_)).value_or(0);
#endif
    return std::nullopt;
}

bool QtPortBackend::RequestArrivedTurn()
{
    QMetaObject::invokeMethod(this, [this] { listener_->OnArrived(); }, Qt::QueuedConnection);
    return true;
}

bool QtPortBackend::RequestDeliveryTurn()
{
    QMetaObject::invokeMethod(this, [this] { listener_->OnDeliveryTurn(); }, Qt::QueuedConnection);
    return true;
}

// Qt reports here too what a call has already reported (a failed open, a
// modem line a pseudo-terminal lacks) and NoError after every open; those
// are no news. A lost device is: a pseudo-terminal whose other end closed
// gives a ReadError at every event-loop turn until the port is closed. Qt
// reports from inside its read notifier, which closing the port now would
// pull away from under it: the control hears of it at the next turn.
void QtPortBackend::OnPortError(QSerialPort::SerialPortError error)
{
    const bool lost = std::find(kDeviceLost.begin(), kDeviceLost.end(), error) != kDeviceLost.end();
    if (!lost || lost_ || !port_.isOpen() || DeviceIsOnlyFull(port_)) {
        return;
    }
    lost_ = true;
    RequestArrivedTurn();
}

} // namespace tavex
