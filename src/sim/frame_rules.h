#pragma once

// Whether the keyboard takes a frame: its checksum first, then whether the
// command is known and its body has the shape the command needs.

#include "sim/command_kind.h"
#include "sim/frame_parser.h"

namespace tavex {

enum class FrameVerdict : std::uint8_t {
    Accepted,
    BadChecksum,  // answered "CE": the bytes were damaged on the way
    Malformed,    // answered "FE": an unknown command or a body that does not fit it
};

FrameVerdict JudgeFrame(const Frame& frame, CommandKind kind);

} // namespace tavex
