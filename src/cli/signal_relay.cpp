#include "cli/signal_relay.h"

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace tavex {

namespace {

int relaySockets[2] = {-1, -1};

extern "C" void RelaySignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(relaySockets[0], &byte, 1);
}

} // namespace

SignalRelay::SignalRelay(std::function<void()> onSignal) : onSignal_(std::move(onSignal))
{
    ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, relaySockets);
    notifier_ = std::make_unique<QSocketNotifier>(relaySockets[1], QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, this, [this] {
        char byte = 0;
        [[maybe_unused]] const ssize_t got = ::read(relaySockets[1], &byte, 1);
        onSignal_();
    });
    struct sigaction action {};
    action.sa_handler = RelaySignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGTERM, &action, nullptr);
}

SignalRelay::~SignalRelay()
{
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
    notifier_.reset();
    ::close(relaySockets[0]);
    ::close(relaySockets[1]);
    relaySockets[0] = relaySockets[1] = -1;
}

} // namespace tavex
