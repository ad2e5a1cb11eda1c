#include "sim/keyboard_response.h"

namespace tavex {

std::vector<std::uint8_t> KeyboardResponse::Bytes() const
{
    std::vector<std::uint8_t> bytes;
    for (const ReplyPiece& piece : pieces) {
        bytes.insert(bytes.end(), piece.bytes.begin(), piece.bytes.end());
    }
    return bytes;
}

} // namespace tavex
