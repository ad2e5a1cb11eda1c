#pragma once

// The protocol states' names as the code spells them, so that a test of a
// state names it rather than its number.

#include "protocol/protocol_state.h"

#include <string_view>

namespace tavex::test {

// "" for a value outside 0 to 34.
std::string_view StateName(ProtocolState state);

} // namespace tavex::test
