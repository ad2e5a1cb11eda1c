#pragma once

#include <cstdint>

namespace tavex {

// The protocol state shared by the machine, the senders, the receiver and the
// watchdog. It is held as a plain 32-bit integer because a state outside the
// enumeration is a case the actors must handle, not an impossibility.
using ProtocolState = std::int32_t;

enum BootloaderState : ProtocolState {
    bpStateNONE = 0,
    bpStateGOONLINE = 1,
    bpStateGOOFFLINE = 2,
    bpStateREADYNEXTTABLE = 3,
    bpStateREADYNEXTSLOT = 4,
    bpStateREADYNEXTRECORD = 5,
    bpStateSEND_C0 = 6,
    bpStateSEND_C1 = 7,
    bpStateSEND_CA = 8,
    bpStateSEND_N2 = 9,
    bpStateSEND_S2 = 10,
    bpStateSEND_S8 = 11,
    bpStateSEND_T0 = 12,
    bpStateSEND_T7 = 13,
    bpStateSENT_C0 = 14,
    bpStateSENT_C1 = 15,
    bpStateSENT_CA = 16,
    bpStateSENT_N2 = 17,
    bpStateSENT_S2 = 18,
    bpStateSENT_S8 = 19,
    bpStateSENT_T0 = 20,
    bpStateSENT_T7 = 21,
    bpStateRECEIVE_OK = 22,
    bpStateRECEIVE_CE = 23,
    bpStateRECEIVE_FE = 24,
    bpStateRECEIVE_DT = 25,
    bpStateRECEIVE_C0 = 26,
    bpStateRECEIVE_T7 = 27,
    bpStateRECEIVE_UK = 28,
    bpStateEX_RECEIVE = 29,
    bpStateEX_SEND = 30,
    bpStateEX_OTHER = 31,
    StateEX_USERDEF = 32,
    bpStateEX_UNDEF = 33,
    bpStateER_INTERNAL = 34,
};

inline constexpr ProtocolState kLastProtocolState = bpStateER_INTERNAL;


} // namespace tavex
