#include "sim/planned_reply.h"

#include "protocol/bootloader_frames.h"

namespace tavex {

namespace {

constexpr std::uint64_t kMicrosPerMilli = 1000;

std::vector<std::uint8_t> Copy(const std::array<std::uint8_t, 2>& reply) { return {reply.begin(), reply.end()}; }

} // namespace

PlannedReply PlanReply(std::vector<std::uint8_t> dueReply, const Fault* fault)
{
    if (fault == nullptr) {
        return {std::move(dueReply)};
    }
    switch (fault->action) {
    case FaultAction::CommunicationError:
        return {Copy(bootloader::kCommunicationError)};
    case FaultAction::CommandError:
        return {Copy(bootloader::kCommandError)};
    case FaultAction::ReplyBytes:
        return {fault->bytes};
    case FaultAction::Silent:
        return {};
    case FaultAction::Late:
        return {std::move(dueReply), fault->lateMs * kMicrosPerMilli};
    case FaultAction::Vanish:
        dueReply.resize(dueReply.size() / 2);
        return {std::move(dueReply), 0, true};
    }
    return {std::move(dueReply)};
}

} // namespace tavex
