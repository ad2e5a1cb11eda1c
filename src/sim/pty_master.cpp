#include "sim/pty_master.h"

#include "sim/line_speed.h"

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <stdexcept>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

namespace tavex {

namespace {

// No echo, no line editing, no translation of the bytes: replies written here
// must reach the host as they are and never come back as its own bytes.
void MakeRaw(termios& settings)
{
    settings.c_iflag &= ~static_cast<tcflag_t>(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON);
    settings.c_oflag &= ~static_cast<tcflag_t>(OPOST);
    settings.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    settings.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB);
    settings.c_cflag |= CS8;
    settings.c_cc[VMIN] = 1;
    settings.c_cc[VTIME] = 0;
}

// Bytes written to the master take a moment to reach the slave's queue,
// where the host's reading can be seen.
constexpr int kDeliveryMs = 20;
constexpr int kCheckEveryMs = 5;

int SlaveBytesUnread(int slaveFd)
{
    int unread = 0;
    return ::ioctl(slaveFd, FIONREAD, &unread) == 0 ? unread : 0;
}

void Fail(int fd, const char* what)
{
    if (fd >= 0) {
        ::close(fd);
    }
    throw std::runtime_error(what);
}

} // namespace

PtyMaster::PtyMaster()
{
    fd_ = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (fd_ < 0 || ::grantpt(fd_) != 0 || ::unlockpt(fd_) != 0) {
        Fail(fd_, "no pseudo-terminal");
    }
    const char* path = ::ptsname(fd_);
    termios settings{};
    if (path == nullptr || ::tcgetattr(fd_, &settings) != 0) {
        Fail(fd_, "no pseudo-terminal settings");
    }
    slavePath_ = path;
    // On Linux the master's settings are the line's: setting them here sets
    // what the slave starts with, and they stay when a host closes it.
    MakeRaw(settings);
    if (::tcsetattr(fd_, TCSANOW, &settings) != 0 ||
        ::fcntl(fd_, F_SETFL, ::fcntl(fd_, F_GETFL) | O_NONBLOCK) != 0) {
        Fail(fd_, "cannot set up the pseudo-terminal");
    }
}

PtyMaster::~PtyMaster() { ::close(fd_); }

LineRead PtyMaster::Read(std::uint8_t* into, std::size_t capacity, std::size_t& got)
{
    const ssize_t count = ::read(fd_, into, capacity);
    got = count > 0 ? static_cast<std::size_t>(count) : 0;
    if (count > 0) {
        return LineRead::Bytes;
    }
    // Linux answers EIO once the last holder of the slave has closed it.
    return count < 0 && (errno == EAGAIN || errno == EINTR) ? LineRead::Nothing : LineRead::HungUp;
}

std::size_t PtyMaster::Write(const std::uint8_t* bytes, std::size_t count)
{
    const ssize_t written = ::write(fd_, bytes, count);
    return written > 0 ? static_cast<std::size_t>(written) : 0;
}

std::uint32_t PtyMaster::LineBaud() const
{
    // tcgetattr on the master answers the slave's settings (checked on Linux
    // 6.x: a speed set on the slave shows here at once), so no descriptor
    // to the slave is held; holding one would also hide the host's hang-up.
    termios settings{};
    if (::tcgetattr(fd_, &settings) != 0) {
        return 0;
    }
    return BaudOfSpeed(::cfgetospeed(&settings));
}

void PtyMaster::AwaitHostRead(int maxMs) const
{
    // Closing the master hangs the slave up and throws away what the host has
    // not read yet. A descriptor to the slave shows what is still unread; it
    // is opened only now, since one held while serving would keep the
    // host's hang-up from showing on the master.
    const int slave = ::open(slavePath_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (slave < 0) {
        return;
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(maxMs);
    ::poll(nullptr, 0, kDeliveryMs);
    while (SlaveBytesUnread(slave) > 0 && std::chrono::steady_clock::now() < deadline) {
        ::poll(nullptr, 0, kCheckEveryMs);
    }
    ::close(slave);
}

} // namespace tavex
