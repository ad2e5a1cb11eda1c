#include "image/next_line.h"

#include "image/record_reader.h"
#include "text/format.h"

namespace tavex {

namespace {

NextLine Failed() { return {LineOutcome::Failed}; }

} // namespace

NextLine NextS19Line(ImageCursor& cursor, RecordFields& record, std::string& sessionMessage)
{
    switch (ReadLineStart(cursor, record, sessionMessage)) {
    case LineStart::EndOfImage:
        return {LineOutcome::EndOfImage};
    case LineStart::Failed:
        return Failed();
    case LineStart::TwoBytesRead:
        break;
    }
    const auto kind = DecodeRecord(cursor, record, sessionMessage);
    if (!kind) {
        return Failed();
    }
    return {LineOutcome::Record, *kind};
}

NextLine NextS20Line(ImageCursor& cursor, RecordFields& record, CDirectiveParser& parser,
                     std::string& sessionMessage)
{
    switch (ReadLineStart(cursor, record, sessionMessage)) {
    case LineStart::EndOfImage:
        return {LineOutcome::EndOfImage};
    case LineStart::Failed:
        return Failed();
    case LineStart::TwoBytesRead:
        break;
    }
    const std::uint8_t* lineStart = record.recordBuffer.data();
    if (parser.ParseLine(lineStart, cursor.imageFile, &cursor.bytesRead, cursor.lineNumber, cursor.fileName)) {
        return {LineOutcome::Consumed};
    }
    if (parser.errorFlag) {
        sessionMessage = !parser.message.empty()
                             ? parser.message
                             : Message<string_id::kUnrecognizedCommand>(static_cast<char>(lineStart[0]), static_cast<char>(lineStart[1]),
                                            cursor.lineNumber, cursor.fileName);
        return Failed();
    }
    const auto kind = DecodeRecord(cursor, record, sessionMessage);
    if (!kind) {
        return Failed();
    }
    if (!parser.CheckCommand(cursor.lineNumber)) {
        sessionMessage = parser.message;
        return Failed();
    }
    if (parser.skipRecords) {
        return {LineOutcome::Dropped, *kind};
    }
    return {LineOutcome::Record, *kind};
}

} // namespace tavex
