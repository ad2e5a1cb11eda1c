#include "session/internal_error_code.h"

#include "text/format.h"

namespace tavex {

std::string InternalErrorCode(FileKind machine, ProtocolState state)
{
    if (machine == FileKind::S19) {
        return Format<ProtocolState>("FSM_s19-%d", state);
    }
    return Format<ProtocolState>("FSM_s20-%d", state);
}

std::string InternalErrorCode(FileKind machine, ProtocolState state, int lastEvent)
{
    if (machine == FileKind::S19) {
        return Format<ProtocolState, int>("FSM_s19-%d-%d", state, lastEvent);
    }
    return Format<ProtocolState, int>("FSM_s20-%d-%d", state, lastEvent);
}

} // namespace tavex
