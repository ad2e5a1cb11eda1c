#include "image/image_check.h"

#include <algorithm>
#include <set>

namespace tavex {

namespace {

constexpr std::int32_t kNoListedVersion = -1;

ScanPass RunPass(const ImageToCheck& image, std::int32_t keyboardHardware)
{
    ScanPass pass;
    std::unique_ptr<IByteSource> source = image.openSource(pass.message);
    if (!source) {
        return pass;
    }
    ImageCursor cursor{source.get(), image.fileLength, 0, 0, image.fileName};
    return image.fileKind == FileKind::S19 ? ScanS19(cursor, keyboardHardware) : ScanS20(cursor, keyboardHardware);
}

void AddVerdict(ImageCheckReport& report, std::int32_t version, const ScanPass& pass)
{
    report.verdicts.push_back({version, pass.passes, pass.message, pass.sent, pass.dropped});
    if (!pass.passes && report.message.empty()) {
        report.message = pass.message;
    }
}

ImageCheckReport CheckVersions(const ImageToCheck& image, const std::vector<std::int32_t>& versions)
{
    ImageCheckReport report;
    for (std::int32_t version : versions) {
        const ScanPass pass = RunPass(image, version);
        // Every version reads the same lines: the filter only decides what is sent.
        if (report.verdicts.empty()) {
            report.statistics = pass.statistics;
        }
        AddVerdict(report, version, pass);
    }
    report.valid = std::all_of(report.verdicts.begin(), report.verdicts.end(),
                               [](const HardwareVerdict& verdict) { return verdict.passes; });
    return report;
}

// An .s20 image names its versions in "#hardware". A pass for a version no
// list names reads up to that line: a fault before it holds for every
// keyboard, and the list it stops at gives the versions to check.
ImageCheckReport CheckDeclaredVersions(const ImageToCheck& image)
{
    const ScanPass probe = RunPass(image, kNoListedVersion);
    if (probe.passes || probe.hardwareList.empty()) {
        ImageCheckReport report;
        report.valid = probe.passes;
        report.message = probe.message;
        report.statistics = probe.statistics;
        return report;
    }
    const std::set<std::int32_t> declared(probe.hardwareList.begin(), probe.hardwareList.end());
    return CheckVersions(image, std::vector<std::int32_t>(declared.begin(), declared.end()));
}

} // namespace

ImageCheckReport CheckImage(const ImageToCheck& image, std::optional<std::int32_t> keyboardHardware)
{
    if (keyboardHardware) {
        return CheckVersions(image, {*keyboardHardware});
    }
    if (image.fileKind == FileKind::S19) {
        return CheckVersions(image, {0});
    }
    return CheckDeclaredVersions(image);
}

} // namespace tavex
