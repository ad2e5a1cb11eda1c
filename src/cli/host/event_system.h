#pragma once

// What the threads' loops and the comm controls need before the first of
// them is made, for as long as they run: Qt's application object off
// Windows; on Windows every thread has its message queue already.

#include <memory>

namespace tavex {

class EventSystem {
public:
    explicit EventSystem(char* programName);
    ~EventSystem();
    EventSystem(const EventSystem&) = delete;
    EventSystem& operator=(const EventSystem&) = delete;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace tavex
