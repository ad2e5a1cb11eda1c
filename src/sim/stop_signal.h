#pragma once

// SIGINT and SIGTERM turned into a readable descriptor, so a poll loop wakes
// for them as it does for the line.

namespace tavex {

class StopSignal {
public:
    // Installs the handlers; only one StopSignal may exist at a time.
    StopSignal();
    ~StopSignal();
    StopSignal(const StopSignal&) = delete;
    StopSignal& operator=(const StopSignal&) = delete;

    // Readable once a stop has been asked for.
    int Fd() const { return readFd_; }
    bool Raised() const;

private:
    int readFd_ = -1;
};

} // namespace tavex
