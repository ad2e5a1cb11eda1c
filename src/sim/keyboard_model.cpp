#include "sim/keyboard_model.h"

#include "protocol/bootloader_frames.h"
#include "sim/keyboard_answers.h"
#include "sim/planned_reply.h"
#include "sim/wire_pacing.h"

#include <algorithm>

namespace tavex {

namespace {

constexpr std::uint64_t kMicrosPerMilli = 1000;
// How long the line must stay quiet before a frame begun on it is given up.
// A host sends a frame's bytes back to back, so a pause this long means the
// bytes before it were noise or a frame the host abandoned; without giving
// up, they would swallow the host's next frames as their body.
constexpr std::uint64_t kUnfinishedFrameQuietMicros = 500'000;

// Positions in a frame's count-and-body bytes.
constexpr std::size_t kSectorIndex = 3;   // after the count and the two key bytes
constexpr std::size_t kAddressIndex = 1;  // three bytes, high first
constexpr std::size_t kDataIndex = 4;

std::uint32_t AddressOf(const std::vector<std::uint8_t>& countAndBody)
{
    return (std::uint32_t{countAndBody[kAddressIndex]} << 16) | (std::uint32_t{countAndBody[kAddressIndex + 1]} << 8) |
           countAndBody[kAddressIndex + 2];
}

template <std::size_t N>
std::vector<std::uint8_t> ToVector(const std::array<std::uint8_t, N>& bytes)
{
    return {bytes.begin(), bytes.end()};
}

} // namespace

KeyboardModel::KeyboardModel(KeyboardConfig config) : config_(std::move(config)) {}

KeyboardResponse KeyboardModel::Receive(std::span<const std::uint8_t> bytes, std::uint32_t baud,
                                        std::uint64_t arrivalMicros)
{
    KeyboardResponse response;
    if (vanished_ || bytes.empty()) {  // no bytes leave the quiet unbroken
        return response;
    }
    const bool legible = !config_.onlyBaud || *config_.onlyBaud == baud;
    const std::uint64_t byteMicros = config_.paceWire ? ByteTimeMicros(config_.paceBaud.value_or(baud)) : 0;
    DropFrameLeftUnfinished(arrivalMicros);
    // On a paced line the bytes cross one after another; the quiet starts after the last.
    lineQuietSinceMicros_ = arrivalMicros + bytes.size() * byteMicros;
    std::uint64_t lineFreeMicros = 0;
    for (const Frame& frame : parser_.Feed(bytes, legible)) {
        Answer(frame, byteMicros, response, lineFreeMicros);
        if (response.vanishes) {
            vanished_ = true;
            break;
        }
    }
    return response;
}

void KeyboardModel::StartSession()
{
    parser_.Reset();
    sessionFrames_ = 0;
    sessionFramesByKind_ = {};
}

void KeyboardModel::DropFrameLeftUnfinished(std::uint64_t arrivalMicros)
{
    if (lineQuietSinceMicros_ && arrivalMicros >= *lineQuietSinceMicros_ + kUnfinishedFrameQuietMicros) {
        parser_.Reset();
    }
}

void KeyboardModel::Answer(const Frame& frame, std::uint64_t byteMicros, KeyboardResponse& response,
                           std::uint64_t& lineFreeMicros)
{
    if (frame.garbled) {
        ++statistics_.wrongBaudFrames;
        return;
    }
    const CommandKind kind = KindOfCommand(frame.command[0], frame.command[1]);
    ++sessionFrames_;
    ++sessionFramesByKind_[IndexOf(kind)];
    ++statistics_.framesByKind[IndexOf(kind)];

    const FrameVerdict verdict = JudgeFrame(frame, kind);
    statistics_.badChecksums += verdict == FrameVerdict::BadChecksum ? 1 : 0;
    statistics_.malformedFrames += verdict == FrameVerdict::Malformed ? 1 : 0;

    const Fault* fault = config_.faults.Match(sessionFrames_, kind, sessionFramesByKind_[IndexOf(kind)]);
    statistics_.faultsApplied += fault != nullptr ? 1 : 0;
    if (verdict == FrameVerdict::Accepted && (fault == nullptr || fault->LetsCommandAct())) {
        Execute(frame, kind);
    }

    const PlannedReply reply = PlanReply(DueReply(verdict, kind), fault);
    // The frame has crossed the line once its last byte has.
    const std::uint64_t frameArrived = frame.endOffset * byteMicros;
    const std::uint64_t start = std::max(frameArrived, lineFreeMicros) + config_.processingMs * kMicrosPerMilli +
                                reply.extraDelayMicros;
    lineFreeMicros = AppendReply(response, start, reply.bytes, byteMicros);
    response.vanishes = reply.vanishAfter;
}

std::vector<std::uint8_t> KeyboardModel::DueReply(FrameVerdict verdict, CommandKind kind) const
{
    if (verdict == FrameVerdict::BadChecksum) {
        return ToVector(bootloader::kCommunicationError);
    }
    if (verdict == FrameVerdict::Malformed) {
        return ToVector(bootloader::kCommandError);
    }
    if (kind == CommandKind::Ping) {
        return IdentificationAnswer(config_.wrongIdentification);
    }
    if (kind == CommandKind::ReadId) {
        return KeyboardIdAnswer(config_.hardwareVersion, config_.idWithoutKb);
    }
    return ToVector(bootloader::kOk);
}

void KeyboardModel::Execute(const Frame& frame, CommandKind kind)
{
    const std::vector<std::uint8_t>& countAndBody = frame.countAndBody;
    switch (kind) {
    case CommandKind::FlashSector:
        flash_.EraseSector(countAndBody[kSectorIndex]);
        break;
    case CommandKind::WriteBlock:
        flash_.WriteBlock(AddressOf(countAndBody), std::span(countAndBody).subspan(kDataIndex));
        break;
    case CommandKind::EndOfTable:
        flash_.EndTable();
        break;
    default:
        break;  // PING and read-ID leave the flash alone
    }
}

} // namespace tavex
