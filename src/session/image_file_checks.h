#pragma once

// The file checks that open a Download: a name, an .s19 or .s20 extension, a
// file that exists, opens for this program alone and has a length. Each
// failure is one message; nothing is left open behind it.

#include "image/byte_source.h"
#include "image/file_kind.h"
#include "image/image_files.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace tavex {

struct ImageName {
    bool accepted = false;
    std::string fileName;  // lower-cased, as the download's messages quote it
    FileKind fileKind = FileKind::None;
    std::string message;   // why the name was refused
};

// The name checks: not empty, and an extension of "s19" or "s20" in any case.
ImageName CheckImageName(std::string_view typedName);

struct OpenedImage {
    std::unique_ptr<IByteSource> imageFile;  // null when a check failed
    std::uint64_t fileLength = 0;
    std::string fileName;
    FileKind fileKind = FileKind::None;
    std::string message;
    SystemReason detail;  // "path: reason" behind the message, when the system gave one
};

// All the checks, in the order a Download makes them. The file is opened by
// the name as typed: only the messages use the lower-cased name.
OpenedImage OpenImage(IImageFiles& files, std::string_view typedName);

} // namespace tavex
