#include "cli/check/check_report.h"

#include "cli/output/download_outcome.h"
#include "cli/output/json_writer.h"
#include "cli/output/terminal_text.h"
#include "text/format.h"

#include <cstdio>

namespace tavex {

namespace {

std::string_view KindText(FileKind fileKind) { return fileKind == FileKind::S19 ? ".s19" : ".s20"; }

std::string Hex24(std::uint32_t address)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%06X", static_cast<unsigned>(address));
    return text;
}

std::string VerdictLine(const HardwareVerdict& verdict)
{
    if (!verdict.passes) {
        return Format<std::int32_t>("hardware %d: fails\n", verdict.version);
    }
    return Format<std::int32_t, std::string, std::string>("hardware %d: passes, %s records sent, %s dropped\n",
                                                          verdict.version, std::to_string(verdict.sent),
                                                          std::to_string(verdict.dropped));
}

std::string JsonAddress(const std::optional<std::uint32_t>& address)
{
    return address ? std::to_string(*address) : std::string("null");
}

} // namespace

std::string CheckReportText(const CheckedFile& file, const ImageCheckReport& report)
{
    const ImageStatistics& s = report.statistics;
    std::string text = Format<std::string, std::string_view, std::string, std::string>(
        "%s: valid %s image, %s bytes in %s lines\n", TerminalSafe(file.fileName), KindText(file.fileKind),
        std::to_string(file.fileLength), std::to_string(s.lines));
    text += "records: " + std::to_string(s.Records()) + " (" + std::to_string(s.flashSectors) + " flash-sector C1, " +
            std::to_string(s.writeBlocks) + " write-block S2, " + std::to_string(s.endOfTables) +
            " end-of-table S8)\n";
    text += "blocks: " + std::to_string(s.writeBlocks) + " with " + std::to_string(s.dataBytes) + " data bytes";
    if (s.lowestBlockAddress) {
        text += ", block addresses " + Hex24(*s.lowestBlockAddress) + " to " + Hex24(*s.highestBlockAddress);
    }
    text += "\n";
    if (report.verdicts.empty()) {
        text += "hardware: the image declares no version and holds no record\n";
    }
    for (const HardwareVerdict& verdict : report.verdicts) {
        text += VerdictLine(verdict);
    }
    return text;
}

std::string CheckReportJson(const CheckedFile& file, const ImageCheckReport& report)
{
    const ImageStatistics& s = report.statistics;
    JsonObject json;
    json.Add("file", file.fileName).Add("kind", KindText(file.fileKind).substr(1)).Add("valid", report.valid);
    if (!report.valid) {
        json.Add("message", report.message);
        AddReason(json, file.detail);
    }
    json.Add("bytes", file.fileLength).Add("lines", s.lines);
    json.AddTextOrNull("image_sha256", file.imageSha256);
    json.AddRaw("records", JsonObject()
                               .Add("C1", s.flashSectors)
                               .Add("S2", s.writeBlocks)
                               .Add("S8", s.endOfTables)
                               .Add("total", s.Records())
                               .Text());
    json.Add("blocks", s.writeBlocks).Add("dataBytes", s.dataBytes);
    json.AddRaw("lowestBlockAddress", JsonAddress(s.lowestBlockAddress));
    json.AddRaw("highestBlockAddress", JsonAddress(s.highestBlockAddress));
    std::string verdicts = "[";
    for (const HardwareVerdict& verdict : report.verdicts) {
        if (verdicts.size() > 1) {
            verdicts += ',';
        }
        verdicts += JsonObject()
                        .Add("version", verdict.version)
                        .Add("passes", verdict.passes)
                        .Add("sent", verdict.sent)
                        .Add("dropped", verdict.dropped)
                        .Text();
    }
    json.AddRaw("hardware", verdicts + "]");
    return json.Text() + "\n";
}

} // namespace tavex
