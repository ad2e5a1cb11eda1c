#include "flash/image_flash.h"

#include "image/next_line.h"

#include <span>

namespace tavex {

SimulatedFlash FlashOfImage(IByteSource& image, std::uint64_t fileLength, FileKind fileKind,
                            std::int32_t keyboardHardware)
{
    ImageCursor cursor{&image, fileLength, 0, 0, "image"};
    CDirectiveParser parser;
    parser.Reset();
    parser.keyboardHardware = keyboardHardware;
    RecordFields record;
    std::string message;
    SimulatedFlash flash;
    while (true) {
        const NextLine line = fileKind == FileKind::S19 ? NextS19Line(cursor, record, message)
                                            : NextS20Line(cursor, record, parser, message);
        if (line.outcome == LineOutcome::EndOfImage || line.outcome == LineOutcome::Failed) {
            return flash;
        }
        if (line.outcome != LineOutcome::Record) {
            continue;
        }
        switch (line.kind) {
        case RecordKind::FlashSector:
            flash.EraseSector(static_cast<std::uint8_t>(record.sectorNumber));
            break;
        case RecordKind::WriteBlock:
            flash.WriteBlock(record.blockAddress, std::span(record.recordBuffer.data() + record.recordData,
                                                            static_cast<std::size_t>(record.recordLength)));
            break;
        case RecordKind::EndOfTable:
            flash.EndTable();
            break;
        }
    }
}

} // namespace tavex
