#pragma once

// Faults the keyboard commits on purpose, so a host can be tried against a
// keyboard that misbehaves. A fault is written WHERE:WHAT:
//
//   WHERE  N        the Nth frame of the session (1-based)
//          KIND     every frame of a kind: C0, T7, C1, S2 or S8
//          KIND#N   the Nth frame of that kind in the session
//   WHAT   ce       reply "CE" (communication error)
//          fe       reply "FE" (command error)
//          bytes=HEX  reply these bytes (pairs of hex digits, at least one)
//          silent   no reply
//          late=MS  the due reply, MS milliseconds late
//          vanish   the first half of the due reply, then the keyboard is gone
//
// e.g. "S2:ce", "3:silent", "S2#2:late=7000", "C1:bytes=4F4B4F4B", "T7:vanish".

#include "sim/command_kind.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavex {

enum class FaultAction : std::uint8_t {
    CommunicationError,
    CommandError,
    ReplyBytes,
    Silent,
    Late,
    Vanish,
};

struct Fault {
    // Where: a frame number, or a kind with or without its number.
    std::optional<std::uint32_t> commandIndex;
    std::optional<CommandKind> kind;
    std::optional<std::uint32_t> nthOfKind;

    FaultAction action = FaultAction::Silent;
    std::vector<std::uint8_t> bytes;  // for ReplyBytes
    std::uint32_t lateMs = 0;         // for Late

    bool Matches(std::uint32_t frameIndex, CommandKind frameKind, std::uint32_t indexOfKind) const;

    // A fault that answers with an error or drops the frame stands for a
    // frame the keyboard did not take: the command does not act.
    bool LetsCommandAct() const;
};

struct ParsedFault {
    std::optional<Fault> fault;
    std::string error;  // why the text is not a fault, when it is not
};

ParsedFault ParseFault(std::string_view text);

class FaultPlan {
public:
    void Add(Fault fault) { faults_.push_back(std::move(fault)); }

    // The first fault that matches the frame, or nullptr.
    const Fault* Match(std::uint32_t frameIndex, CommandKind frameKind, std::uint32_t indexOfKind) const;

    bool Empty() const { return faults_.empty(); }

private:
    std::vector<Fault> faults_;
};

} // namespace tavex
