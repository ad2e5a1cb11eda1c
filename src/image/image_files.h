#pragma once

// Where image files come from: the platform opens them, the session and the
// check read them.

#include "image/byte_source.h"
#include "image/image_snapshot.h"
#include "text/error_category.h"

#include <cstdint>
#include <memory>
#include <string>

namespace tavex {

// What the platform answers when asked for an image file.
struct OpenedFile {
    enum class Status { Opened, NotFound, CannotOpen, LengthUnknown };
    Status status = Status::NotFound;
    std::unique_ptr<IByteSource> file;  // set when Opened
    std::uint64_t length = 0;
    std::string reason;  // the system's reason when not Opened, if it gave one
    ErrorCategory category = ErrorCategory::kNone;  // the reason's

    static OpenedFile Refused(Status status, std::string reason, ErrorCategory category)
    {
        OpenedFile refused;
        refused.status = status;
        refused.reason = std::move(reason);
        refused.category = category;
        return refused;
    }
};

class IImageFiles {
public:
    virtual ~IImageFiles() = default;
    // Opens `path` for reading, shared with no other user of the file.
    virtual OpenedFile Open(const std::string& path) = 0;

    // The bytes of `file`, which Open(path) has just opened, read whole for
    // one download. Files that serve several downloads of one image at once
    // may hand each the same copy, read once.
    virtual std::shared_ptr<const ImageSnapshot> Snapshot(const std::string& /*path*/, IByteSource& file,
                                                          std::uint64_t length)
    {
        return std::make_shared<const ImageSnapshot>(TakeSnapshot(file, length));
    }
};

} // namespace tavex
