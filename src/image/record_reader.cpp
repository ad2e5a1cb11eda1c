#include "image/record_reader.h"

#include "text/format.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace tavex {

namespace {

struct RecordType {
    char type[2];
    std::string_view typeText;
    std::int32_t minLength;  // bounds of the length byte, checksum included
    std::int32_t maxLength;
    RecordKind kind;
};

// The three record types this bootloader knows; S2 carries 1 to 16 data bytes
// behind its 3 address bytes.
constexpr std::array<RecordType, 3> kRecordTypes = {{
    {{'C', '1'}, "C1", 4, 4, RecordKind::FlashSector},
    {{'S', '2'}, "S2", 5, 20, RecordKind::WriteBlock},
    {{'S', '8'}, "S8", 4, 4, RecordKind::EndOfTable},
}};

const RecordType* FindKind(std::uint8_t first, std::uint8_t second)
{
    for (const RecordType& kind : kRecordTypes) {
        if (static_cast<std::uint8_t>(kind.type[0]) == first &&
            static_cast<std::uint8_t>(kind.type[1]) == second) {
            return &kind;
        }
    }
    return nullptr;
}

// Value of each byte as a hexadecimal digit, -1 for the bytes that are not
// digits; a table, because every line decodes up to 42 of them.
constexpr std::array<std::int8_t, 256> kDigitValues = [] {
    std::array<std::int8_t, 256> values{};
    values.fill(-1);
    for (int i = 0; i < 10; ++i) {
        values['0' + i] = static_cast<std::int8_t>(i);
    }
    for (int i = 0; i < 6; ++i) {
        values['A' + i] = static_cast<std::int8_t>(10 + i);
        values['a' + i] = static_cast<std::int8_t>(10 + i);
    }
    return values;
}();

int DigitValue(char c) { return kDigitValues[static_cast<std::uint8_t>(c)]; }

bool IsHexDigit(std::uint8_t c) { return DigitValue(static_cast<char>(c)) >= 0; }

// Reads `count` bytes to the start of the record buffer and counts them.
bool ReadIntoBuffer(ImageCursor& cursor, RecordFields& record, std::size_t count)
{
    const std::size_t got = cursor.imageFile->Read(record.recordBuffer.data(), count);
    cursor.bytesRead += got;
    return got == count;
}

char CharAt(const RecordFields& record, std::size_t position)
{
    return static_cast<char>(record.recordBuffer[position]);
}

} // namespace

std::string ReadErrorMessage(const ImageCursor& cursor)
{
    return Message<string_id::kReadError>(cursor.lineNumber, cursor.fileName);
}

std::uint8_t HexPairValue(char high, char low)
{
    const int highValue = std::max(DigitValue(high), 0);
    const int lowValue = std::max(DigitValue(low), 0);
    return static_cast<std::uint8_t>(highValue * 16 + lowValue);
}

LineStart ReadLineStart(ImageCursor& cursor, RecordFields& record, std::string& sessionMessage)
{
    // Counted in unsigned arithmetic: a file of more than 2^31 lines must not
    // make the count undefined.
    cursor.lineNumber = static_cast<std::int32_t>(static_cast<std::uint32_t>(cursor.lineNumber) + 1U);
    record.recordData = 0;
    if (ReadIntoBuffer(cursor, record, 2)) {
        return LineStart::TwoBytesRead;
    }
    if (cursor.imageFile->ReadFailed()) {
        sessionMessage = ReadErrorMessage(cursor);
        return LineStart::Failed;
    }
    if (cursor.bytesRead == cursor.fileLength) {
        return LineStart::EndOfImage;
    }
    sessionMessage = Message<string_id::kCommandUnderrun>(cursor.lineNumber, cursor.fileName);
    return LineStart::Failed;
}

std::optional<RecordKind> DecodeRecord(ImageCursor& cursor, RecordFields& record, std::string& sessionMessage)
{
    const RecordType* kind = FindKind(record.recordBuffer[0], record.recordBuffer[1]);
    if (kind == nullptr) {
        sessionMessage = Message<string_id::kUnrecognizedCommand>(CharAt(record, 0), CharAt(record, 1), cursor.lineNumber, cursor.fileName);
        return std::nullopt;
    }

    if (!ReadIntoBuffer(cursor, record, 2)) {
        sessionMessage = cursor.imageFile->ReadFailed() ? ReadErrorMessage(cursor)
                                                        : Message<string_id::kLengthUnderrun>(cursor.lineNumber, cursor.fileName);
        return std::nullopt;
    }
    if (!IsHexDigit(record.recordBuffer[0]) || !IsHexDigit(record.recordBuffer[1])) {
        sessionMessage = Message<string_id::kBadLengthDescriptor>(int{record.recordBuffer[0]}, int{record.recordBuffer[1]}, cursor.lineNumber,
                                      cursor.fileName);
        return std::nullopt;
    }
    const std::int32_t length = HexPairValue(CharAt(record, 0), CharAt(record, 1));
    if (length < kind->minLength || length > kind->maxLength) {
        sessionMessage = Message<string_id::kLengthOutOfRange>(kind->typeText, cursor.lineNumber, cursor.fileName, length);
        return std::nullopt;
    }

    const std::size_t byteCount = static_cast<std::size_t>(length);
    if (!ReadIntoBuffer(cursor, record, 2 * byteCount + 2)) {
        sessionMessage = cursor.imageFile->ReadFailed() ? ReadErrorMessage(cursor)
                                                        : Message<string_id::kDataUnderrun>(cursor.lineNumber, cursor.fileName);
        return std::nullopt;
    }

    // Decoded in place: byte i overwrites position i, which its digits at 2i
    // and 2i + 1 have already left behind. A digit that is not hexadecimal
    // stops the line: taken as 0 it could pass the checksum and write a zero.
    unsigned sum = static_cast<unsigned>(length);
    for (std::size_t i = 0; i < byteCount; ++i) {
        const std::uint8_t highDigit = record.recordBuffer[2 * i];
        const std::uint8_t lowDigit = record.recordBuffer[2 * i + 1];
        const int high = DigitValue(static_cast<char>(highDigit));
        const int low = DigitValue(static_cast<char>(lowDigit));
        if ((high | low) < 0) {
            sessionMessage = Message<string_id::kBadDataDigits>(int{highDigit}, int{lowDigit}, cursor.lineNumber, cursor.fileName);
            return std::nullopt;
        }
        record.recordBuffer[i] = static_cast<std::uint8_t>(high * 16 + low);
        if (i + 1 < byteCount) {
            sum += record.recordBuffer[i];
        }
    }
    const std::uint8_t expected = static_cast<std::uint8_t>(~sum & 0xFFU);
    if (record.recordBuffer[byteCount - 1] != expected) {
        sessionMessage = Message<string_id::kInvalidChecksum>(int{expected}, cursor.lineNumber, cursor.fileName);
        return std::nullopt;
    }

    const auto& bytes = record.recordBuffer;
    record.recordLength = length;
    switch (kind->kind) {
    case RecordKind::FlashSector:
        record.sectorNumber = bytes[2];
        break;
    case RecordKind::WriteBlock:
        record.blockAddress = (std::uint32_t{bytes[0]} << 16) | (std::uint32_t{bytes[1]} << 8) | bytes[2];
        record.recordData = 3;
        record.recordLength = length - 4;
        break;
    default:
        break;
    }
    return kind->kind;
}

} // namespace tavex
