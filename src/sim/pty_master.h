#pragma once

// The keyboard's end of a pseudo-terminal. The host opens the other end (the
// slave device) as it would open a serial port.

#include <cstddef>
#include <cstdint>
#include <string>

namespace tavex {

enum class LineRead : std::uint8_t {
    Bytes,     // `got` bytes were read
    Nothing,   // none were waiting
    HungUp,    // the host has closed the device
};

class PtyMaster {
public:
    // Opens a new pseudo-terminal with a raw line; throws std::runtime_error
    // when the system has none to give.
    PtyMaster();
    ~PtyMaster();
    PtyMaster(const PtyMaster&) = delete;
    PtyMaster& operator=(const PtyMaster&) = delete;

    int Fd() const { return fd_; }
    const std::string& SlavePath() const { return slavePath_; }

    LineRead Read(std::uint8_t* into, std::size_t capacity, std::size_t& got);

    // Writes what the line takes now; answers how many bytes that was.
    std::size_t Write(const std::uint8_t* bytes, std::size_t count);

    // The baud rate the host has set on the device.
    std::uint32_t LineBaud() const;

    // Waits, at most `maxMs`, until the host has read what was written to it.
    void AwaitHostRead(int maxMs) const;

private:
    int fd_ = -1;
    std::string slavePath_;
};

} // namespace tavex
