#pragma once

namespace tavex {

// The three kinds of record line, each sent to the keyboard as one command.
enum class RecordKind { FlashSector, WriteBlock, EndOfTable };

} // namespace tavex
