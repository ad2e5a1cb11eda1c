#include "image/image_snapshot.h"

#include "image/sha256.h"

#include <algorithm>

namespace tavex {

ImageSnapshot TakeSnapshot(IByteSource& file, std::uint64_t length)
{
    constexpr std::size_t kPiece = 1 << 20;
    ImageSnapshot snapshot;
    const auto wanted = static_cast<std::size_t>(std::min(length, kLargestSnapshot));
    snapshot.bytes.resize(wanted);
    std::size_t filled = 0;
    while (filled < wanted) {
        const std::size_t piece = std::min(kPiece, wanted - filled);
        const std::size_t got = file.Read(snapshot.bytes.data() + filled, piece);
        filled += got;
        if (got < piece) {
            snapshot.readFailed = file.ReadFailed();
            break;
        }
    }
    snapshot.bytes.resize(filled);
    if (!snapshot.readFailed) {
        snapshot.sha256 = Sha256Hex(snapshot.bytes);
    }
    return snapshot;
}

} // namespace tavex
