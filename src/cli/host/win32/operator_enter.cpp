// A console read blocks and cannot be waited on with the message queue: a
// thread of its own reads, and posts each piece of input to the main loop.
// The thread is left to the process's end; once the watcher is gone it posts
// nothing more.

#include "cli/host/operator_enter.h"

#include "platform/win32/windows_api.h"

#include <mutex>
#include <thread>

namespace tavex {

struct OperatorEnter::Impl {
    std::mutex mutex;
    ThreadLoop* mainLoop = nullptr;  // null once the watcher is gone
    std::function<void()> onEnter;
};

OperatorEnter::OperatorEnter(ThreadLoop& mainLoop, std::function<void()> onEnter) : impl_(std::make_shared<Impl>())
{
    impl_->mainLoop = &mainLoop;
    impl_->onEnter = std::move(onEnter);
    std::thread([impl = impl_] {
        const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
        char bytes[256];
        DWORD got = 0;
        while (ReadFile(input, bytes, sizeof bytes, &got, nullptr) && got > 0) {
            const std::lock_guard lock(impl->mutex);
            if (impl->mainLoop == nullptr) {
                return;
            }
            impl->mainLoop->Post([impl] {
                const std::lock_guard inner(impl->mutex);
                if (impl->mainLoop != nullptr) {
                    impl->onEnter();
                }
            });
        }
    }).detach();
}

OperatorEnter::~OperatorEnter()
{
    const std::lock_guard lock(impl_->mutex);
    impl_->mainLoop = nullptr;
}

} // namespace tavex
