#include "sim/frame_parser.h"

namespace tavex {

namespace {

constexpr std::size_t kCountPosition = 2;

} // namespace

std::vector<Frame> FrameParser::Feed(std::span<const std::uint8_t> piece, bool legible)
{
    std::vector<Frame> frames;
    for (std::size_t i = 0; i < piece.size(); ++i) {
        partial_.garbled = partial_.garbled || !legible;
        if (Take(piece[i])) {
            partial_.endOffset = i + 1;
            frames.push_back(std::move(partial_));
            Reset();
        }
    }
    return frames;
}

void FrameParser::Reset()
{
    partial_ = Frame{};
    received_ = 0;
}

bool FrameParser::Take(std::uint8_t byte)
{
    const std::size_t position = received_++;
    if (position < kCountPosition) {
        partial_.command[position] = byte;
        return false;
    }
    const std::size_t count = position == kCountPosition ? byte : partial_.countAndBody[0];
    // The count covers the body and the checksum, so the checksum is the
    // byte at position 2 + count.
    if (position == kCountPosition + count && count > 0) {
        partial_.checksum = byte;
        return true;
    }
    partial_.countAndBody.push_back(byte);
    return position == kCountPosition && count == 0;
}

} // namespace tavex
