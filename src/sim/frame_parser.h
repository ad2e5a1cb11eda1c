#pragma once

// Cuts the bytes from the host into frames: two command bytes, a count byte,
// then as many bytes as the count says (the body and the checksum). The bytes
// may arrive in pieces of any size; a frame is complete when its last byte
// has arrived, whichever piece brings it.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace tavex {

struct Frame {
    std::array<std::uint8_t, 2> command{};
    std::vector<std::uint8_t> countAndBody;  // the count byte, then the body
    std::optional<std::uint8_t> checksum;    // absent when the count is 0
    bool garbled = false;                    // some of its bytes arrived where the keyboard could not make them out
    std::size_t endOffset = 0;               // bytes of the piece that completed it, up to and including its last
};

class FrameParser {
public:
    // Takes the next piece of the stream. `legible` is false when the
    // keyboard cannot make out these bytes (they came at the wrong baud);
    // a frame with any such byte comes out garbled.
    std::vector<Frame> Feed(std::span<const std::uint8_t> piece, bool legible);

    // Forgets a frame begun and not finished.
    void Reset();

private:
    // Adds one byte; true when it completes the frame.
    bool Take(std::uint8_t byte);

    Frame partial_;
    std::size_t received_ = 0;  // bytes of partial_ so far
};

} // namespace tavex
