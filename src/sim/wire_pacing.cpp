#include "sim/wire_pacing.h"

namespace tavex {

namespace {

constexpr std::uint64_t kBitsPerByte = 10;
constexpr std::uint64_t kMicrosPerSecond = 1'000'000;

} // namespace

std::uint64_t ByteTimeMicros(std::uint32_t baud)
{
    if (baud == 0) {
        return 0;
    }
    return (kBitsPerByte * kMicrosPerSecond + baud / 2) / baud;
}

std::uint64_t AppendReply(KeyboardResponse& response, std::uint64_t startMicros,
                          const std::vector<std::uint8_t>& bytes, std::uint64_t byteMicros)
{
    if (bytes.empty()) {
        return startMicros;
    }
    if (byteMicros == 0) {
        response.pieces.push_back({startMicros, bytes});
        return startMicros;
    }
    std::uint64_t due = startMicros;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        due += byteMicros;
        response.pieces.push_back({due, {bytes[i]}, i == 0});
    }
    return due;
}

} // namespace tavex
