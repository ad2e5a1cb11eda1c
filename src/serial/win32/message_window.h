#pragma once

// A message-only window (HWND_MESSAGE): a place on the thread that made it
// where other threads, and that thread itself, can post messages. The
// thread's own GetMessage/DispatchMessage loop runs the handler, so whatever
// it does happens on that thread. It has to be destroyed on that thread too.

#include "platform/win32/windows_api.h"

#include <functional>

namespace tavex {

class MessageWindow {
public:
    using Handler = std::function<void(UINT message, WPARAM wParam)>;

    // A window that passes every message from kFirstMessage on to the
    // handler. Valid() tells whether the system made it.
    explicit MessageWindow(Handler handler);
    ~MessageWindow();
    MessageWindow(const MessageWindow&) = delete;
    MessageWindow& operator=(const MessageWindow&) = delete;

    static constexpr UINT kFirstMessage = WM_APP;

    bool Valid() const { return window_ != nullptr; }

    // Posts a message from any thread; false when it could not be queued.
    bool Post(UINT message, WPARAM wParam = 0) const;

    // The thread whose message loop runs the handler.
    DWORD OwnerThread() const { return ownerThread_; }

private:
    // An exception must not unwind through the system's dispatch: one that
    // reaches here ends the program.
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
    static void RegisterClassOnce(HINSTANCE module);

    Handler handler_;
    HWND window_ = nullptr;
    DWORD ownerThread_ = 0;
};

} // namespace tavex
