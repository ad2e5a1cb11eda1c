#include "image/buffered_file_source.h"

#include <algorithm>
#include <cstring>

namespace tavex {

bool BufferedFileSource::Refill()
{
    const std::optional<std::size_t> got = ReadFromFile(buffer_.data(), buffer_.size());
    if (!got) {
        readFailed_ = true;
        return false;
    }
    if (*got == 0) {
        atEnd_ = true;
        return false;
    }
    begin_ = 0;
    end_ = *got;
    return true;
}

std::size_t BufferedFileSource::Read(std::uint8_t* into, std::size_t count)
{
    std::size_t copied = 0;
    while (copied < count) {
        if (begin_ == end_ && (atEnd_ || readFailed_ || !Refill())) {
            break;
        }
        const std::size_t piece = std::min(count - copied, end_ - begin_);
        std::memcpy(into + copied, buffer_.data() + begin_, piece);
        begin_ += piece;
        copied += piece;
    }
    return copied;
}

} // namespace tavex
