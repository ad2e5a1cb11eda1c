#pragma once

// Several keyboards downloading one image share one read-only copy of it:
// sixteen sessions of a 64 MiB image hold 64 MiB, not a gigabyte. A copy
// lives as long as a session uses it, and each of those sessions holds the
// file open and locked meanwhile; the next session after the last one reads
// the file again.

#include "image/image_files.h"

#include <map>
#include <memory>
#include <mutex>
#include <string>

namespace tavex {

class SnapshotCache {
public:
    // The copy of `path` a running session holds, or a new one read from
    // `file`. Sessions on other threads asking at once wait for one read.
    std::shared_ptr<const ImageSnapshot> Snapshot(const std::string& path, IByteSource& file, std::uint64_t length);

private:
    struct Held {
        std::weak_ptr<const ImageSnapshot> snapshot;
        std::uint64_t length = 0;  // of the file it was read from
    };

    std::mutex mutex_;
    std::map<std::string, Held> held_;
};

// Image files whose copies come from a cache shared by the sessions.
class CachedSnapshotFiles final : public IImageFiles {
public:
    CachedSnapshotFiles(IImageFiles& files, SnapshotCache& cache) : files_(files), cache_(cache) {}

    OpenedFile Open(const std::string& path) override { return files_.Open(path); }
    std::shared_ptr<const ImageSnapshot> Snapshot(const std::string& path, IByteSource& file,
                                                  std::uint64_t length) override
    {
        return cache_.Snapshot(path, file, length);
    }

private:
    IImageFiles& files_;
    SnapshotCache& cache_;
};

} // namespace tavex
