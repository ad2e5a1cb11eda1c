#pragma once

// The offline check of an image: every line read and verified as a download
// would, for one keyboard hardware version or for every version the image
// declares.

#include "image/byte_source.h"
#include "image/file_kind.h"
#include "image/image_scan.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tavex {

struct HardwareVerdict {
    std::int32_t version = 0;
    bool passes = false;
    std::string message;
    std::uint64_t sent = 0;
    std::uint64_t dropped = 0;
};

struct ImageCheckReport {
    bool valid = false;
    std::string message;  // the first fault; empty when valid
    ImageStatistics statistics;
    std::vector<HardwareVerdict> verdicts;  // one per version checked
};

struct ImageToCheck {
    FileKind fileKind = FileKind::S19;
    std::string fileName;       // as the messages quote it
    std::uint64_t fileLength = 0;
    // A fresh source positioned at the image's first byte, once per pass;
    // null when the file can no longer be read, with the reason in the message.
    std::function<std::unique_ptr<IByteSource>(std::string& message)> openSource;
};

// Without a version, an .s19 image is checked for version 0 and an .s20
// image for every version of its "#hardware" list.
ImageCheckReport CheckImage(const ImageToCheck& image, std::optional<std::int32_t> keyboardHardware);

} // namespace tavex
