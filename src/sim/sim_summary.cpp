#include "sim/sim_summary.h"

#include <cstdio>
#include <sstream>

namespace tavex {

namespace {

constexpr std::array<CommandKind, kCommandKindCount> kReportedKinds = {
    CommandKind::Ping,     CommandKind::ReadId,  CommandKind::FlashSector, CommandKind::WriteBlock,
    CommandKind::EndOfTable, CommandKind::Unknown};

std::string FramesByKind(const SimStatistics& statistics)
{
    std::string text = "frames:";
    for (CommandKind kind : kReportedKinds) {
        text += " " + std::string(CommandName(kind)) + " " + std::to_string(statistics.framesByKind[IndexOf(kind)]);
    }
    return text;
}

std::string DigestText(std::uint64_t digest)
{
    char text[19];
    std::snprintf(text, sizeof text, "0x%016llx", static_cast<unsigned long long>(digest));
    return text;
}

std::string SectorList(const SimulatedFlash& flash)
{
    std::string text;
    for (std::uint8_t sector : flash.ErasedSectors()) {
        text += (text.empty() ? "" : ",") + std::to_string(sector);
    }
    return text.empty() ? "none" : text;
}

} // namespace

std::string SummaryText(const SimStatistics& statistics, std::uint64_t repliesDropped, const SimulatedFlash& flash)
{
    std::ostringstream text;
    text << FramesByKind(statistics) << '\n'
         << "bad checksums: " << statistics.badChecksums << '\n'
         << "malformed frames: " << statistics.malformedFrames << '\n'
         << "faults applied: " << statistics.faultsApplied << '\n'
         << "wrong-baud frames: " << statistics.wrongBaudFrames << '\n'
         << "replies dropped: " << repliesDropped << '\n'
         << "flash digest: " << DigestText(flash.Digest()) << '\n'
         << "sectors erased: " << flash.SectorErases() << " (" << SectorList(flash) << ")\n"
         << "blocks written: " << flash.BlocksWritten() << '\n'
         << "bytes written: " << flash.Bytes().size() << '\n'
         << "tables: " << flash.TablesEnded() << '\n';
    return text.str();
}

} // namespace tavex
