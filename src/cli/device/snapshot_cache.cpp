#include "cli/device/snapshot_cache.h"

namespace tavex {

std::shared_ptr<const ImageSnapshot> SnapshotCache::Snapshot(const std::string& path, IByteSource& file,
                                                             std::uint64_t length)
{
    const std::lock_guard lock(mutex_);
    Held& held = held_[path];
    if (std::shared_ptr<const ImageSnapshot> shared = held.snapshot.lock(); shared && held.length == length) {
        return shared;
    }
    auto snapshot = std::make_shared<const ImageSnapshot>(TakeSnapshot(file, length));
    held = {snapshot, length};
    return snapshot;
}

} // namespace tavex
