#include "serial/receive_buffer.h"

#include <algorithm>

namespace tavex {

namespace {

constexpr std::uint8_t kEndOfFile = 0x1A;

} // namespace

bool ReceiveBuffer::Append(std::string_view bytes, bool discardNulls)
{
    bool endOfFile = false;
    for (const char received : bytes) {
        const auto byte = static_cast<std::uint8_t>(received);
        endOfFile = endOfFile || byte == kEndOfFile;
        if (byte != 0 || !discardNulls) {
            bytes_.push_back(byte);
        }
    }
    return endOfFile;
}

std::vector<std::uint8_t> ReceiveBuffer::Take(std::size_t limit)
{
    const std::size_t count = limit == 0 ? bytes_.size() : std::min(limit, bytes_.size());
    const auto end = bytes_.begin() + static_cast<std::ptrdiff_t>(count);
    std::vector<std::uint8_t> taken(bytes_.begin(), end);
    bytes_.erase(bytes_.begin(), end);
    return taken;
}

} // namespace tavex
