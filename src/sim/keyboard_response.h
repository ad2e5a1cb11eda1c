#pragma once

// What the keyboard sends back for the bytes it was given: pieces of reply,
// each due a delay after the bytes arrived, and whether the keyboard is gone
// after the last of them.

#include <cstdint>
#include <vector>

namespace tavex {

struct ReplyPiece {
    std::uint64_t delayMicros = 0;  // from the arrival of the bytes that asked for it
    std::vector<std::uint8_t> bytes;
    bool startsReply = true;        // false for the later pieces of a reply sent a byte at a time

    bool operator==(const ReplyPiece&) const = default;
};

struct KeyboardResponse {
    std::vector<ReplyPiece> pieces;  // in the order they are sent; delays never decrease
    bool vanishes = false;           // the keyboard is gone once the last piece is out

    // All the bytes of the pieces, in order.
    std::vector<std::uint8_t> Bytes() const;
};

} // namespace tavex
