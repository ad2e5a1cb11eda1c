#include "image/memory_byte_source.h"

#include <algorithm>
#include <cstring>

namespace tavex {

std::size_t MemoryByteSource::Read(std::uint8_t* into, std::size_t count)
{
    const std::size_t available = std::min(count, bytes_.size() - position_);
    if (available > 0) {
        std::memcpy(into, bytes_.data() + position_, available);
    }
    position_ += available;
    if (available < count && failsAtEnd_) {
        readFailed_ = true;
    }
    return available;
}

} // namespace tavex
