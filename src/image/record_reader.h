#pragma once

// Reads the image's record lines strictly forward, one counted piece at a
// time: it never seeks, never looks ahead and never searches for a line end.

#include "image/image_cursor.h"
#include "image/record_kind.h"

#include <optional>
#include <string>

namespace tavex {

enum class LineStart {
    TwoBytesRead,  // the first two bytes of a line are at the start of recordBuffer
    EndOfImage,    // nothing left: bytesRead has reached fileLength
    Failed,        // sessionMessage holds the reason
};

// Counts a new line and reads its first two bytes.
LineStart ReadLineStart(ImageCursor& cursor, RecordFields& record, std::string& sessionMessage);

// Value of two hexadecimal digits, high first; a character that is not a
// digit counts as 0.
std::uint8_t HexPairValue(char high, char low);

// Reads the rest of the record line whose first two bytes ReadLineStart read,
// checks it and fills the record fields. Answers the record's kind, or
// nothing with sessionMessage set.
std::optional<RecordKind> DecodeRecord(ImageCursor& cursor, RecordFields& record,
                                          std::string& sessionMessage);

// Message for a short read that is a fault of the medium, not the file's end.
std::string ReadErrorMessage(const ImageCursor& cursor);

} // namespace tavex
