#include "pty_client.h"

#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <stdexcept>
#include <termios.h>
#include <unistd.h>

namespace tavex::test {

PtyClient::PtyClient(const std::string& path, unsigned baud)
{
    fd_ = ::open(path.c_str(), O_RDWR | O_NOCTTY);
    if (fd_ < 0) {
        throw std::runtime_error("cannot open " + path);
    }
    SetBaud(baud);
}

PtyClient::~PtyClient() { Close(); }

void PtyClient::SetBaud(unsigned baud)
{
    termios settings{};
    ::tcgetattr(fd_, &settings);
    ::cfmakeraw(&settings);
    ::cfsetispeed(&settings, static_cast<speed_t>(baud));
    ::cfsetospeed(&settings, static_cast<speed_t>(baud));
    if (::tcsetattr(fd_, TCSANOW, &settings) != 0) {
        throw std::runtime_error("cannot set the line");
    }
}

void PtyClient::Write(const std::vector<std::uint8_t>& bytes)
{
    if (::write(fd_, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) {
        throw std::runtime_error("short write to the line");
    }
}

std::vector<std::uint8_t> PtyClient::Read(std::size_t count, int timeoutMs)
{
    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    std::vector<std::uint8_t> bytes;
    while (bytes.size() < count) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        pollfd readable{fd_, POLLIN, 0};
        if (left <= 0 || ::poll(&readable, 1, static_cast<int>(left)) <= 0 || (readable.revents & POLLIN) == 0) {
            break;
        }
        std::uint8_t buffer[64];
        const ssize_t got = ::read(fd_, buffer, std::min(sizeof buffer, count - bytes.size()));
        if (got <= 0) {
            break;
        }
        bytes.insert(bytes.end(), buffer, buffer + got);
    }
    return bytes;
}

void PtyClient::Close()
{
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

} // namespace tavex::test
