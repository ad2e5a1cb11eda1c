#pragma once

// SIGINT and SIGTERM as events of the Qt event loop: the handler only writes
// a byte to a socket pair; the loop reads it and calls `onSignal`.

#include <QObject>
#include <QSocketNotifier>

#include <functional>
#include <memory>

namespace tavex {

class SignalRelay final : public QObject {
public:
    explicit SignalRelay(std::function<void()> onSignal);
    ~SignalRelay() override;

private:
    std::function<void()> onSignal_;
    std::unique_ptr<QSocketNotifier> notifier_;
};

} // namespace tavex
