#pragma once

#include <cstdint>

namespace tavex {

// The window that the protocol posts its step message to. Posting queues the
// message: it is handled after the current handler has returned.
class INotifyWindow {
public:
    virtual ~INotifyWindow() = default;
    virtual void PostMessage(std::uint32_t message) = 0;
};

} // namespace tavex
