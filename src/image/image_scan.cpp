#include "image/image_scan.h"

#include "image/directive_parser.h"
#include "image/next_line.h"
#include "text/format.h"

#include <algorithm>

namespace tavex {

namespace {

void CountRecord(ImageStatistics& statistics, RecordKind kind, const RecordFields& record)
{
    switch (kind) {
    case RecordKind::FlashSector:
        ++statistics.flashSectors;
        break;
    case RecordKind::WriteBlock:
        ++statistics.writeBlocks;
        statistics.dataBytes += static_cast<std::uint64_t>(record.recordLength);
        statistics.lowestBlockAddress = std::min(statistics.lowestBlockAddress.value_or(record.blockAddress),
                                                 record.blockAddress);
        statistics.highestBlockAddress = std::max(statistics.highestBlockAddress.value_or(record.blockAddress),
                                                  record.blockAddress);
        break;
    case RecordKind::EndOfTable:
        ++statistics.endOfTables;
        break;
    }
}

// Runs `next` line by line to the end of the image or the first fault.
template <class NextLineFunction>
ScanPass Scan(ImageCursor& cursor, NextLineFunction next)
{
    ScanPass pass;
    RecordFields record;
    while (true) {
        const NextLine line = next(record, pass.message);
        pass.statistics.lines = cursor.lineNumber;
        pass.statistics.bytesRead = cursor.bytesRead;
        switch (line.outcome) {
        case LineOutcome::EndOfImage:
            // The last ReadLineStart counted a line that is not there.
            pass.statistics.lines = cursor.lineNumber - 1;
            pass.passes = true;
            return pass;
        case LineOutcome::Failed:
            return pass;
        case LineOutcome::Consumed:
            break;
        case LineOutcome::Dropped:
            ++pass.dropped;
            CountRecord(pass.statistics, line.kind, record);
            break;
        case LineOutcome::Record:
            ++pass.sent;
            CountRecord(pass.statistics, line.kind, record);
            break;
        }
    }
}

} // namespace

ScanPass ScanS19(ImageCursor& cursor, std::int32_t keyboardHardware)
{
    if (keyboardHardware != 0 && keyboardHardware != 1) {
        ScanPass refused;
        refused.message = Message<string_id::kHardwareUnsupported>(cursor.fileName, "0, 1", keyboardHardware);
        return refused;
    }
    return Scan(cursor, [&cursor](RecordFields& record, std::string& message) {
        return NextS19Line(cursor, record, message);
    });
}

ScanPass ScanS20(ImageCursor& cursor, std::int32_t keyboardHardware)
{
    CDirectiveParser parser;
    parser.fileKind = FileKind::S20;
    parser.Reset();
    parser.keyboardHardware = keyboardHardware;
    ScanPass pass = Scan(cursor, [&](RecordFields& record, std::string& message) {
        return NextS20Line(cursor, record, parser, message);
    });
    if (pass.passes && parser.insideIf) {
        parser.ReportOpenIf();
        pass.message = parser.message;
        pass.passes = false;
    }
    pass.hardwareList = parser.hardwareList;
    return pass;
}

} // namespace tavex
