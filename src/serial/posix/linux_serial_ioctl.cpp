#include "serial/posix/linux_serial_ioctl.h"

#ifdef __linux__
#include <linux/serial.h>
#include <sys/ioctl.h>
#endif

namespace tavex {

#ifdef __linux__

bool SetLowLatency(int fd)
{
    serial_struct info{};
    if (::ioctl(fd, TIOCGSERIAL, &info) != 0) {
        return false;
    }
    info.flags |= ASYNC_LOW_LATENCY;
    return ::ioctl(fd, TIOCSSERIAL, &info) == 0;
}

std::optional<LineErrorCounts> ReadLineErrorCounts(int fd)
{
    serial_icounter_struct counts{};
    if (::ioctl(fd, TIOCGICOUNT, &counts) != 0) {
        return std::nullopt;
    }
    const auto count = [](int value) { return static_cast<std::uint32_t>(value); };
    return LineErrorCounts{count(counts.frame), count(counts.overrun), count(counts.parity), count(counts.brk),
                           count(counts.buf_overrun)};
}

std::optional<std::size_t> OutputQueueBytes(int fd)
{
    int queued = 0;
    if (::ioctl(fd, TIOCOUTQ, &queued) != 0 || queued < 0) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(queued);
}

std::optional<std::size_t> InputQueueBytes(int fd)
{
    int queued = 0;
    if (::ioctl(fd, TIOCINQ, &queued) != 0 || queued < 0) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(queued);
}

#else

bool SetLowLatency(int) { return false; }

std::optional<LineErrorCounts> ReadLineErrorCounts(int) { return std::nullopt; }

std::optional<std::size_t> OutputQueueBytes(int) { return std::nullopt; }
std::optional<std::size_t> InputQueueBytes(int) { return std::nullopt; }

#endif

} // namespace tavex
