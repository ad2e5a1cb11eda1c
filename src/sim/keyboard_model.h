#pragma once

// A Tavex keyboard in its bootloader, as the host sees it over the serial
// line: it takes the host's bytes as they come, answers each complete frame
// and keeps what the frames did to its flash.
//
// Frames are numbered from 1 in each session (from the host opening the line
// to its closing it); frames heard only as line noise get no number.
//
// Time is the owner's: it says when each lot of bytes arrived, on any clock
// that only moves forward, so the model can be run on a virtual clock.

#include "sim/frame_parser.h"
#include "sim/frame_rules.h"
#include "sim/keyboard_config.h"
#include "sim/keyboard_response.h"
#include "sim/sim_statistics.h"
#include "flash/simulated_flash.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>

namespace tavex {

class KeyboardModel {
public:
    explicit KeyboardModel(KeyboardConfig config);

    // Takes bytes that arrived together, at `arrivalMicros`, on a line set
    // to `baud`. The delays of the response count from their arrival. A
    // frame left unfinished while the line was quiet for half a second is
    // dropped first, so the next frame is read from its first byte. Once
    // the keyboard has vanished it takes nothing and answers nothing.
    KeyboardResponse Receive(std::span<const std::uint8_t> bytes, std::uint32_t baud, std::uint64_t arrivalMicros);

    // A host has opened the line: frame numbers start again and a frame the
    // last host left unfinished is forgotten. The flash is kept.
    void StartSession();

    bool Vanished() const { return vanished_; }
    const SimStatistics& Statistics() const { return statistics_; }
    const SimulatedFlash& Flash() const { return flash_; }

private:
    // Drops the frame begun, if the line has been quiet long enough by `arrivalMicros`.
    void DropFrameLeftUnfinished(std::uint64_t arrivalMicros);
    // Answers one frame into `response`; `lineFreeMicros` is when the line
    // has finished the replies before it, and is moved past this one.
    void Answer(const Frame& frame, std::uint64_t byteMicros, KeyboardResponse& response,
                std::uint64_t& lineFreeMicros);
    std::vector<std::uint8_t> DueReply(FrameVerdict verdict, CommandKind kind) const;
    void Execute(const Frame& frame, CommandKind kind);

    KeyboardConfig config_;
    FrameParser parser_;
    SimulatedFlash flash_;
    SimStatistics statistics_;
    std::uint32_t sessionFrames_ = 0;
    std::array<std::uint32_t, kCommandKindCount> sessionFramesByKind_{};
    bool vanished_ = false;
    std::optional<std::uint64_t> lineQuietSinceMicros_;  // when the last byte heard had crossed the line
};

} // namespace tavex
