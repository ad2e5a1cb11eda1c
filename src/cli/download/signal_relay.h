#pragma once

// SIGINT, SIGTERM and SIGHUP (the terminal closed under a download) as
// events of the Qt event loop: the handler only writes a byte to a socket
// pair; the loop reads it and calls `onSignal`.

#include <QObject>
#include <QSocketNotifier>

#include <functional>
#include <memory>

namespace tavex {

class SignalRelay final : public QObject {
public:
    // Without its socket pair the relay says so on stderr and catches no
    // signal: a download started then could not be cancelled cleanly.
    explicit SignalRelay(std::function<void()> onSignal);
    ~SignalRelay() override;

    bool Working() const { return notifier_ != nullptr; }

private:
    std::function<void()> onSignal_;
    std::unique_ptr<QSocketNotifier> notifier_;
};

} // namespace tavex
