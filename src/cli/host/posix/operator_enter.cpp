#include "cli/host/operator_enter.h"

#include <QObject>
#include <QSocketNotifier>

#include <unistd.h>

namespace tavex {

struct OperatorEnter::Impl {
    std::function<void()> onEnter;
    QSocketNotifier notifier{STDIN_FILENO, QSocketNotifier::Read};
};

OperatorEnter::OperatorEnter(ThreadLoop&, std::function<void()> onEnter) : impl_(std::make_shared<Impl>())
{
    impl_->onEnter = std::move(onEnter);
    QObject::connect(&impl_->notifier, &QSocketNotifier::activated, &impl_->notifier, [impl = impl_.get()] {
        char bytes[256];
        if (::read(STDIN_FILENO, bytes, sizeof bytes) <= 0) {
            impl->notifier.setEnabled(false);  // no operator: the end of stdin
            return;
        }
        impl->onEnter();
    });
}

OperatorEnter::~OperatorEnter() = default;

} // namespace tavex
