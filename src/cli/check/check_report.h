#pragma once

#include "image/image_check.h"
#include "text/error_category.h"

#include <string>

namespace tavex {

struct CheckedFile {
    std::string fileName;  // as the messages quote it
    FileKind fileKind = FileKind::S19;
    std::uint64_t fileLength = 0;
    std::string imageSha256;  // empty when the file could not be read whole
    SystemReason detail;      // the system's reason the file could not be opened, when it gave one
};

// The summary of a check, for people.
std::string CheckReportText(const CheckedFile& file, const ImageCheckReport& report);

// The same summary as one JSON object, with the message of a failed check.
std::string CheckReportJson(const CheckedFile& file, const ImageCheckReport& report);

} // namespace tavex
