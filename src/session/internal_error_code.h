#pragma once

#include "image/file_kind.h"
#include "protocol/protocol_state.h"

#include <string>

namespace tavex {

// Internal error codes for failures that no message names, by the machine
// (the file kind) that met them: the state a step found, and for the
// exception states also the last comm event code.
std::string InternalErrorCode(FileKind machine, ProtocolState state);
std::string InternalErrorCode(FileKind machine, ProtocolState state, int lastEvent);

} // namespace tavex
