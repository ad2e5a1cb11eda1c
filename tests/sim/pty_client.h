#pragma once

// The host's side of the simulator's pseudo-terminal, opened as a serial port.

#include <cstdint>
#include <string>
#include <vector>

namespace tavex::test {

class PtyClient {
public:
    // Opens `path` raw at `baud` (a termios speed constant such as B19200).
    PtyClient(const std::string& path, unsigned baud);
    ~PtyClient();
    PtyClient(const PtyClient&) = delete;
    PtyClient& operator=(const PtyClient&) = delete;

    void SetBaud(unsigned baud);
    void Write(const std::vector<std::uint8_t>& bytes);

    // Up to `count` bytes, whatever has come within `timeoutMs`.
    std::vector<std::uint8_t> Read(std::size_t count, int timeoutMs);

    void Close();

private:
    int fd_ = -1;
};

} // namespace tavex::test
