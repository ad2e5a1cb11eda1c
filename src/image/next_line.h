#pragma once

// One line of the image, as a transfer machine takes it in its
// "read the next record" step. The machines and the offline check both read
// an image through these two functions, so they fail on the same line with
// the same message.

#include "image/directive_parser.h"
#include "image/image_cursor.h"
#include "image/record_kind.h"

#include <string>

namespace tavex {

enum class LineOutcome {
    Record,      // a record to send; kind tells which command
    Dropped,     // a record read and verified, but not for this keyboard
    Consumed,    // a blank, comment or directive line
    EndOfImage,  // no line left
    Failed,      // sessionMessage holds the reason
};

struct NextLine {
    LineOutcome outcome;
    RecordKind kind = RecordKind::EndOfTable;
};

NextLine NextS19Line(ImageCursor& cursor, RecordFields& record, std::string& sessionMessage);

NextLine NextS20Line(ImageCursor& cursor, RecordFields& record, CDirectiveParser& parser,
                     std::string& sessionMessage);

} // namespace tavex
