// The handler only writes a byte to a socket pair; the Qt event loop reads
// it and calls the relay's function.

#include "cli/host/signal_relay.h"


#include <QObject>
#include <QSocketNotifier>

#include <array>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <string>
#include <sys/socket.h>
#include <unistd.h>

namespace tavex {

namespace {

constexpr std::array<int, 3> kRelayedSignals = {SIGINT, SIGTERM, SIGHUP};

int relaySockets[2] = {-1, -1};

// The interrupted code may be between a failed call and its look at errno.
// The socket does not block: a flood of signals loses bytes, never hangs.
extern "C" void RelaySignal(int)
{
    const int interruptedErrno = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(relaySockets[0], &byte, 1);
    errno = interruptedErrno;
}

} // namespace

struct SignalRelay::Impl {
    std::function<void()> onSignal;
    std::string failure;
    std::unique_ptr<QSocketNotifier> notifier;
};

SignalRelay::SignalRelay(ThreadLoop&, std::function<void()> onSignal) : impl_(std::make_unique<Impl>())
{
    impl_->onSignal = std::move(onSignal);
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, relaySockets) != 0) {
        impl_->failure = std::string("signals cannot be caught (socketpair: ") + std::strerror(errno) + ")";
        return;
    }
    impl_->notifier = std::make_unique<QSocketNotifier>(relaySockets[1], QSocketNotifier::Read);
    QObject::connect(impl_->notifier.get(), &QSocketNotifier::activated, impl_->notifier.get(),
                     [impl = impl_.get()] {
                         char byte = 0;
                         [[maybe_unused]] const ssize_t got = ::read(relaySockets[1], &byte, 1);
                         impl->onSignal();
                     });
    struct sigaction action {};
    action.sa_handler = RelaySignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : kRelayedSignals) {
        ::sigaction(signal, &action, nullptr);
    }
}

SignalRelay::~SignalRelay()
{
    if (!impl_->failure.empty()) {
        return;
    }
    for (int signal : kRelayedSignals) {
        std::signal(signal, SIG_DFL);
    }
    impl_->notifier.reset();
    ::close(relaySockets[0]);
    ::close(relaySockets[1]);
    relaySockets[0] = relaySockets[1] = -1;
}

const std::string& SignalRelay::Failure() const { return impl_->failure; }

} // namespace tavex
