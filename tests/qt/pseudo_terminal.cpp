#include "pseudo_terminal.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <stdexcept>
#include <unistd.h>

namespace tavex::test {

namespace {

[[noreturn]] void Fail(const std::string& what)
{
    throw std::runtime_error(what + ": " + std::strerror(errno));
}

} // namespace

PseudoTerminal::PseudoTerminal()
{
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) {
        Fail("posix_openpt");
    }
    const char* const slave = ::ptsname(master_);
    if (slave == nullptr) {
        Fail("ptsname");
    }
    slavePath_ = slave;
}

PseudoTerminal::~PseudoTerminal() { CloseMaster(); }

void PseudoTerminal::Write(std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t written = ::write(master_, bytes.data(), bytes.size());
        if (written < 0 && errno != EINTR) {
            Fail("write to the pseudo-terminal");
        }
        bytes.remove_prefix(written > 0 ? static_cast<std::size_t>(written) : 0);
    }
}

std::string PseudoTerminal::ReadWithoutEvents(std::size_t count, std::chrono::milliseconds limit)
{
    std::string received;
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (received.size() < count) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline -
                                                                                std::chrono::steady_clock::now());
        pollfd readable{master_, POLLIN, 0};
        if (left.count() <= 0 || ::poll(&readable, 1, static_cast<int>(left.count())) <= 0) {
            break;
        }
        char chunk[512];
        const ssize_t got = ::read(master_, chunk, std::min(sizeof chunk, count - received.size()));
        if (got <= 0) {
            break;
        }
        received.append(chunk, static_cast<std::size_t>(got));
    }
    return received;
}

void PseudoTerminal::CloseMaster()
{
    if (master_ >= 0) {
        ::close(master_);
        master_ = -1;
    }
}

int PseudoTerminal::OpenSlave() const
{
    const int fd = ::open(slavePath_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) {
        Fail("open " + slavePath_);
    }
    return fd;
}

SlaveDescriptor::~SlaveDescriptor() { ::close(fd_); }

termios PseudoTerminal::SlaveTermios() const
{
    const int fd = OpenSlave();
    termios settings{};
    const int result = ::tcgetattr(fd, &settings);
    ::close(fd);
    if (result != 0) {
        Fail("tcgetattr " + slavePath_);
    }
    return settings;
}

} // namespace tavex::test
