#include "cli/check/check_command.h"

#include "cli/check/check_report.h"
#include "cli/command_arguments.h"
#include "cli/host/file_names.h"
#include "cli/output/console_output.h"
#include "cli/exit_codes.h"
#include "cli/output/terminal_text.h"
#include "image/image_check.h"
#include "image/sha256.h"
#include "session/image_file_checks.h"
#include "flash/image_flash.h"

#include <charconv>
#include <cstdio>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

namespace tavex {

namespace {

struct CheckOptions {
    std::string_view file;
    std::optional<std::int32_t> hardware;
    bool json = false;
    std::string flashOut;  // where to write the flash a download leaves behind
};

std::optional<std::int32_t> ParseVersion(std::string_view text)
{
    std::int32_t version = -1;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), version);
    if (error != std::errc() || end != text.data() + text.size() || version < 0 || version > 255) {
        return std::nullopt;
    }
    return version;
}

// Answers the options, or nothing after printing why they are not usable.
std::optional<CheckOptions> ParseOptions(std::span<const std::string_view> argumentList)
{
    CheckOptions options;
    bool haveFile = false;
    CommandArguments arguments("tavexdl-cli check", argumentList);
    while (arguments.Next()) {
        const std::string_view argument = arguments.Current();
        std::optional<std::string_view> value;
        if (!arguments.IsOption() && !haveFile) {
            options.file = argument;
            haveFile = true;
        } else if (arguments.IsOption() && argument == "--json") {
            options.json = true;
        } else if (arguments.IsOption() && argument == "--hardware") {
            if (!(value = arguments.Value()) || !(options.hardware = ParseVersion(*value))) {
                std::fputs("tavexdl-cli check: --hardware takes a version from 0 to 255\n", stderr);
                return std::nullopt;
            }
        } else if (arguments.IsOption() && argument == "--flash-out") {
            if (!(value = arguments.Value())) {
                return std::nullopt;
            }
            if (value->empty()) {
                std::fputs("tavexdl-cli check: --flash-out takes a file name, not an empty one\n", stderr);
                return std::nullopt;
            }
            options.flashOut = std::string(*value);
        } else {
            std::fprintf(stderr, "tavexdl-cli check: unexpected argument '%s'\n", TerminalSafe(argument).c_str());
            return std::nullopt;
        }
    }
    if (!haveFile) {
        std::fputs("tavexdl-cli check: no image file given\n", stderr);
        return std::nullopt;
    }
    // The listing would be written over the image it is made from.
    if (!options.flashOut.empty() && SameFile(options.flashOut, std::string(options.file))) {
        std::fputs("tavexdl-cli check: --flash-out names the image file; give the listing a file of its own\n",
                   stderr);
        return std::nullopt;
    }
    return options;
}

// The keyboard's flash after a good download of the image, as the keyboard
// simulator lists its own.
bool WriteFlashListing(IImageFiles& files, const CheckOptions& options, FileKind fileKind)
{
    OpenedImage image = OpenImage(files, options.file);
    // Byte for byte the simulator's listing on every system: no CR LF on Windows.
    std::ofstream out(PathOfName(options.flashOut), std::ios::binary);
    if (!image.imageFile || !out) {
        // Queued, as the report before it was: it must not overtake it.
        WriteErr("tavexdl-cli check: cannot write " + TerminalSafe(options.flashOut) + "\n");
        return false;
    }
    FlashOfImage(*image.imageFile, image.fileLength, fileKind, options.hardware.value_or(0)).WriteListing(out);
    return static_cast<bool>(out.flush());
}

// The first pass's reads of the file, hashed on their way: the digest is of
// the very file the check read, with no second open another program could
// get in the way of. When the pass is done with the file, what it left unread
// is read, the digest written to `digest` ("" after a failed read), and the
// file closed, so that a later pass can open it again.
class HashingSource final : public IByteSource {
public:
    HashingSource(std::unique_ptr<IByteSource> file, std::string& digest) : file_(std::move(file)), digest_(digest) {}
    HashingSource(const HashingSource&) = delete;
    HashingSource& operator=(const HashingSource&) = delete;
    ~HashingSource() override
    {
        std::vector<std::uint8_t> buffer(64 * 1024);
        while (Read(buffer.data(), buffer.size()) == buffer.size()) {
        }
        digest_ = ReadFailed() ? std::string() : hash_.HexDigest();
    }

    std::size_t Read(std::uint8_t* into, std::size_t count) override
    {
        const std::size_t read = file_->Read(into, count);
        hash_.Add({into, read});
        return read;
    }
    bool ReadFailed() const override { return file_->ReadFailed(); }

private:
    std::unique_ptr<IByteSource> file_;
    std::string& digest_;
    Sha256 hash_;
};

void PrintFailure(const std::string& message, const std::string& detail)
{
    WriteErr(TerminalSafeMessage(message, detail) + "\n");
}

} // namespace

int RunCheckCommand(std::span<const std::string_view> arguments, IImageFiles& files)
{
    const std::optional<CheckOptions> options = ParseOptions(arguments);
    if (!options) {
        std::fputs("usage: tavexdl-cli check FILE [--hardware V] [--json] [--flash-out FILE]\n", stderr);
        return kExitUsage;
    }

    OpenedImage opened = OpenImage(files, options->file);
    if (!options->flashOut.empty() && opened.fileKind == FileKind::S20 && !options->hardware) {
        std::fputs("tavexdl-cli check: --flash-out needs --hardware for an .s20 image\n", stderr);
        return kExitUsage;
    }
    CheckedFile checked{opened.fileName, opened.fileKind, opened.fileLength, {}, opened.detail};
    ImageCheckReport report;
    if (!opened.imageFile) {
        report.message = opened.message;
    } else {
        const std::string path(options->file);
        ImageToCheck image{opened.fileKind, opened.fileName, opened.fileLength, {}};
        // The first pass reads the file the checks opened (hashed for JSON);
        // a later pass (one per hardware version) opens it again.
        image.openSource = [&](std::string& message) -> std::unique_ptr<IByteSource> {
            if (opened.imageFile && options->json) {
                return std::make_unique<HashingSource>(std::move(opened.imageFile), checked.imageSha256);
            }
            if (opened.imageFile) {
                return std::move(opened.imageFile);
            }
            OpenedImage again = OpenImage(files, path);
            message = again.message;
            return std::move(again.imageFile);
        };
        report = CheckImage(image, options->hardware);
    }

    if (options->json) {
        const std::string json = CheckReportJson(checked, report);
        WriteOut(json);
    } else if (report.valid) {
        const std::string text = CheckReportText(checked, report);
        WriteOut(text);
    }
    if (!report.valid) {
        PrintFailure(report.message, checked.detail.text);
        return kExitFailed;
    }
    if (!options->flashOut.empty() && !WriteFlashListing(files, *options, opened.fileKind)) {
        return kExitFailed;
    }
    return kExitOk;
}

} // namespace tavex
