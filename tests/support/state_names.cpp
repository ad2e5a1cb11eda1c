#include "support/state_names.h"

#include <array>

namespace tavex::test {

namespace {

constexpr std::array<std::string_view, kLastProtocolState + 1> kStateNames = {
    "bpStateNONE",        "bpStateGOONLINE",    "bpStateGOOFFLINE",       "bpStateREADYNEXTTABLE",
    "bpStateREADYNEXTSLOT", "bpStateREADYNEXTRECORD", "bpStateSEND_C0",   "bpStateSEND_C1",
    "bpStateSEND_CA",     "bpStateSEND_N2",     "bpStateSEND_S2",         "bpStateSEND_S8",
    "bpStateSEND_T0",     "bpStateSEND_T7",     "bpStateSENT_C0",         "bpStateSENT_C1",
    "bpStateSENT_CA",     "bpStateSENT_N2",     "bpStateSENT_S2",         "bpStateSENT_S8",
    "bpStateSENT_T0",     "bpStateSENT_T7",     "bpStateRECEIVE_OK",      "bpStateRECEIVE_CE",
    "bpStateRECEIVE_FE",  "bpStateRECEIVE_DT",  "bpStateRECEIVE_C0",      "bpStateRECEIVE_T7",
    "bpStateRECEIVE_UK",  "bpStateEX_RECEIVE",  "bpStateEX_SEND",         "bpStateEX_OTHER",
    "StateEX_USERDEF",    "bpStateEX_UNDEF",    "bpStateER_INTERNAL",
};

} // namespace

std::string_view StateName(ProtocolState state)
{
    if (state < 0 || state > kLastProtocolState) {
        return {};
    }
    return kStateNames[static_cast<std::size_t>(state)];
}

} // namespace tavex::test
