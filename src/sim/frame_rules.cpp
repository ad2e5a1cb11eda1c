#include "sim/frame_rules.h"

#include "protocol/bootloader_frames.h"

#include <algorithm>
#include <array>

namespace tavex {

namespace {

struct BodyShape {
    CommandKind kind;
    std::uint8_t minCount;  // bounds of the count byte, checksum included
    std::uint8_t maxCount;
    bool keyed;  // the body begins with the flash-sector key
};

// End-of-table takes any three bytes: the image decides what they are and the
// keyboard only needs the frame to end the table.
constexpr std::array<BodyShape, 5> kBodyShapes = {{
    {CommandKind::Ping, 1, 1, false},
    {CommandKind::ReadId, 1, 1, false},
    {CommandKind::FlashSector, 4, 4, true},
    {CommandKind::WriteBlock, 5, 20, false},
    {CommandKind::EndOfTable, 4, 4, false},
}};

const BodyShape* ShapeOf(CommandKind kind)
{
    const auto found = std::find_if(kBodyShapes.begin(), kBodyShapes.end(),
                                    [kind](const BodyShape& shape) { return shape.kind == kind; });
    return found == kBodyShapes.end() ? nullptr : &*found;
}

bool FitsShape(const Frame& frame, const BodyShape& shape)
{
    const std::uint8_t count = frame.countAndBody[0];
    if (count < shape.minCount || count > shape.maxCount) {
        return false;
    }
    const auto& key = bootloader::kFlashSectorKey;
    return !shape.keyed || std::equal(key.begin(), key.end(), frame.countAndBody.begin() + 1);
}

} // namespace

FrameVerdict JudgeFrame(const Frame& frame, CommandKind kind)
{
    if (!frame.checksum) {
        return FrameVerdict::Malformed;  // a count of 0 leaves no room for a checksum
    }
    if (*frame.checksum != bootloader::FrameChecksum(frame.countAndBody)) {
        return FrameVerdict::BadChecksum;
    }
    const BodyShape* shape = ShapeOf(kind);
    return shape != nullptr && FitsShape(frame, *shape) ? FrameVerdict::Accepted : FrameVerdict::Malformed;
}

} // namespace tavex
