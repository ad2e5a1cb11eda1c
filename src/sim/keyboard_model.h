#pragma once

// A Tavex keyboard in its bootloader, as the host sees it over the serial
// line: it takes the host's bytes as they come, answers each complete frame
// and keeps what the frames did to its flash.
//
// Frames are numbered from 1 in each session (from the host opening the line
// to its closing it); frames heard only as line noise get no number.

#include "sim/frame_parser.h"
#include "sim/frame_rules.h"
#include "sim/keyboard_config.h"
#include "sim/keyboard_response.h"
#include "sim/sim_statistics.h"
#include "sim/simulated_flash.h"

#include <array>
#include <cstdint>
#include <span>

namespace tavex {

class KeyboardModel {
public:
    explicit KeyboardModel(KeyboardConfig config);

    // Takes bytes that arrived together on a line set to `baud`. The delays
    // of the response count from their arrival. Once the keyboard has
    // vanished it takes nothing and answers nothing.
    KeyboardResponse Receive(std::span<const std::uint8_t> bytes, std::uint32_t baud);

    // A host has opened the line: frame numbers start again and a frame the
    // last host left unfinished is forgotten. The flash is kept.
    void StartSession();

    bool Vanished() const { return vanished_; }
    const SimStatistics& Statistics() const { return statistics_; }
    const SimulatedFlash& Flash() const { return flash_; }

private:
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
};

} // namespace tavex
