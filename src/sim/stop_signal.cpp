#include "sim/stop_signal.h"

#include <array>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <stdexcept>
#include <unistd.h>

namespace tavex {

namespace {

constexpr std::array<int, 2> kStopSignals = {SIGINT, SIGTERM};

// The handler may only touch this: a write to a pipe is safe in a signal handler.
volatile std::sig_atomic_t gWriteFd = -1;

extern "C" void OnStopSignal(int)
{
    const char byte = 's';
    [[maybe_unused]] const ssize_t written = ::write(gWriteFd, &byte, 1);
}

void SetHandler(void (*handler)(int))
{
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    for (int signal : kStopSignals) {
        ::sigaction(signal, &action, nullptr);
    }
}

} // namespace

StopSignal::StopSignal()
{
    int fds[2];
    if (::pipe(fds) != 0) {
        throw std::runtime_error("no pipe for the stop signals");
    }
    for (int fd : fds) {
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
        ::fcntl(fd, F_SETFD, FD_CLOEXEC);
    }
    readFd_ = fds[0];
    gWriteFd = fds[1];
    SetHandler(OnStopSignal);
}

StopSignal::~StopSignal()
{
    SetHandler(SIG_DFL);
    ::close(gWriteFd);
    ::close(readFd_);
    gWriteFd = -1;
}

bool StopSignal::Raised() const
{
    pollfd pending{readFd_, POLLIN, 0};
    return ::poll(&pending, 1, 0) > 0;
}

} // namespace tavex
