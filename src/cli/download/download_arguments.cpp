#include "cli/download/download_arguments.h"

#include "cli/command_arguments.h"
#include "cli/host/file_names.h"
#include "cli/output/terminal_text.h"

#include <charconv>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

namespace tavex {

namespace {

constexpr const char* kUsageLine = "usage: tavexdl-cli download FILE (--device PATH | --com N)... [--wait SECONDS] "
                               "[--loop] [--log FILE] [--json] [--trace]\n";

// A whole decimal number from `lowest` to `highest`, and nothing after it.
std::optional<int> ParseNumberIn(std::string_view text, int lowest, int highest)
{
    int number = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (error != std::errc() || end != text.data() + text.size() || number < lowest || number > highest) {
        return std::nullopt;
    }
    return number;
}

// "--com 1,3,5": the COM numbers, each from 1 to 16.
bool ParseComList(std::string_view text, std::vector<DownloadTarget>& targets)
{
    while (true) {
        const std::size_t comma = text.find(',');
        const std::optional<int> number = ParseNumberIn(text.substr(0, comma), 1, 16);
        if (!number) {
            return false;
        }
        targets.push_back({"", *number});
        if (comma == std::string_view::npos) {
            return true;
        }
        text.remove_prefix(comma + 1);
    }
}

// Reads one option that takes a value; false after printing why it is not
// usable.
bool ParseValueOption(CommandArguments& arguments, DownloadOptions& options)
{
    const std::string_view option = arguments.Current();
    const std::optional<std::string_view> value = arguments.Value();
    if (!value) {
        return false;
    }
    if (option == "--device") {
        if (value->empty()) {
            std::fputs("tavexdl-cli download: --device takes a device path, not an empty one\n", stderr);
            return false;
        }
        options.targets.push_back({std::string(*value), 0});
    } else if (option == "--com") {
        if (!ParseComList(*value, options.targets)) {
            std::fputs("tavexdl-cli download: --com takes port numbers from 1 to 16, such as 1 or 1,3,5\n", stderr);
            return false;
        }
    } else if (option == "--log") {
        if (value->empty()) {
            std::fputs("tavexdl-cli download: --log takes a file name, not an empty one\n", stderr);
            return false;
        }
        options.logFile = std::string(*value);
    } else {
        const std::optional<int> seconds = ParseNumberIn(*value, 0, 86400);
        if (!seconds) {
            std::fputs("tavexdl-cli download: --wait takes a number of seconds\n", stderr);
            return false;
        }
        options.waitSeconds = *seconds;
    }
    return true;
}

bool TakesValue(std::string_view option)
{
    return option == "--device" || option == "--com" || option == "--log" || option == "--wait";
}

std::optional<DownloadOptions> ParseOptions(std::span<const std::string_view> argumentList)
{
    DownloadOptions options;
    bool haveFile = false;
    CommandArguments arguments("tavexdl-cli download", argumentList);
    while (arguments.Next()) {
        const std::string_view argument = arguments.Current();
        if (!arguments.IsOption() && !haveFile) {
            options.file = std::string(argument);
            haveFile = true;
        } else if (arguments.IsOption() && argument == "--json") {
            options.json = true;
        } else if (arguments.IsOption() && argument == "--trace") {
            options.trace = true;
        } else if (arguments.IsOption() && argument == "--loop") {
            options.loop = true;
        } else if (arguments.IsOption() && TakesValue(argument)) {
            if (!ParseValueOption(arguments, options)) {
                return std::nullopt;
            }
        } else {
            std::fprintf(stderr, "tavexdl-cli download: unexpected argument '%s'\n", TerminalSafe(argument).c_str());
            return std::nullopt;
        }
    }
    if (!haveFile || options.targets.empty()) {
        std::fputs("tavexdl-cli download: give an image file and --device PATH or --com N\n", stderr);
        return std::nullopt;
    }
    return options;
}

// Why the log would write into the firmware or a keyboard's port, or empty:
// a CSV line appended to either harms what it lands in.
std::string LogConflict(const DownloadOptions& options)
{
    if (options.logFile.empty()) {
        return {};
    }
    const std::string shownLog = "the log \"" + TerminalSafe(options.logFile) + "\"";
    if (SameFile(options.logFile, options.file)) {
        return shownLog + " is the image file; give the log a file of its own";
    }
    for (const DownloadTarget& target : options.targets) {
        if (SameFile(options.logFile, target.DevicePath())) {
            return shownLog + " is the device of " + TerminalSafe(target.Label()) + "; give the log a file of its own";
        }
    }
    return {};
}

} // namespace

const char* DownloadUsage() { return kUsageLine; }

std::optional<DownloadOptions> ParseDownloadArguments(std::span<const std::string_view> arguments)
{
    std::optional<DownloadOptions> options = ParseOptions(arguments);
    if (!options) {
        return std::nullopt;
    }
    if (const std::string repeated = RepeatedDevice(options->targets); !repeated.empty()) {
        std::fprintf(stderr, "tavexdl-cli download: %s names a device already given; each keyboard once\n",
                     TerminalSafe(repeated).c_str());
        return std::nullopt;
    }
    if (const std::string conflict = LogConflict(*options); !conflict.empty()) {
        std::fprintf(stderr, "tavexdl-cli download: %s\n", conflict.c_str());
        return std::nullopt;
    }
    return options;
}

} // namespace tavex
