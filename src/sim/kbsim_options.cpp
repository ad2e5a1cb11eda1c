#include "sim/kbsim_options.h"

#include "sim/line_speed.h"
#include "sim/reply_queue.h"

#include <array>
#include <charconv>
#include <limits>

namespace tavex {

const char* const kKbsimUsage =
    "usage: tavexdl-kbsim [OPTION]...\n"
    "\n"
    "Plays a Tavex keyboard in its bootloader on a pseudo-terminal. The first\n"
    "line printed is the device to open as the keyboard's serial port; a\n"
    "summary follows when the simulator stops (SIGINT, SIGTERM, --once).\n"
    "\n"
    "  --hardware V            hardware version in the keyboard ID, 0 to 255 (default 1)\n"
    "  --only-baud B           answer only frames sent at B baud (50 to 115200); others\n"
    "                          are line noise, counted and not answered\n"
    "  --wrong-identification  answer PING with another keyboard's identification\n"
    "  --id-without-kb         answer read-keyboard-ID with a record not beginning \"KB\"\n"
    "  --fault WHERE:WHAT      inject a fault (repeatable; the first that matches wins)\n"
    "  --processing-ms MS      take MS milliseconds over every command\n"
    "  --pace                  pace the line at its baud rate, 10 bits a byte\n"
    "  --pace-baud B           pace the line at B baud (50 to 115200), whatever its setting\n"
    "  --once                  serve one host: stop when it closes the device\n"
    "  --flash-out FILE        write the flash as a hex listing to FILE at the end;\n"
    "                          a FILE that cannot be written is refused at the start\n"
    "  --help                  print this help\n"
    "\n"
    "A fault is WHERE:WHAT.\n"
    "  WHERE  N       the Nth frame of the session (from 1)\n"
    "         KIND    every frame of a kind: C0, T7, C1, S2 or S8\n"
    "         KIND#N  the Nth frame of that kind\n"
    "  WHAT   ce | fe          reply \"CE\" | \"FE\"\n"
    "         bytes=HEX        reply these bytes (one or more)\n"
    "         silent           no reply\n"
    "         late=MS          the reply, MS milliseconds late\n"
    "         vanish           half the reply, then the keyboard is gone (the simulator exits)\n"
    "  e.g. --fault S2:ce --fault 3:silent --fault S2#2:late=7000 --fault C1:bytes=4F4B4F4B\n"
    "\n"
    "A frame with a bad checksum is answered \"CE\"; an unknown command or a\n"
    "body that does not fit its command, \"FE\". A frame left unfinished is\n"
    "dropped once the line has been quiet for half a second (with --pace, from\n"
    "when its last byte has crossed), so the next frame is read from its first\n"
    "byte. Replies waiting to go out (to a host that floods frames or does not\n"
    "read) are held up to 4 KiB; the newest beyond that are dropped whole and\n"
    "counted in the summary (\"replies dropped\"). Exit 0, 1 on failure, 2 on a\n"
    "usage error.\n";

static_assert(kMaxWaitingReplyBytes == 4096, "the usage gives the bound on waiting replies as 4 KiB");

namespace {

// Answers the error, empty when the value was taken.
using ApplyOption = std::string (*)(std::string_view value, KbsimOptions& options);

struct OptionRule {
    std::string_view name;
    bool takesValue;
    ApplyOption apply;
};

std::optional<std::uint32_t> Number(std::string_view text, std::uint32_t max)
{
    std::uint32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || value > max) {
        return std::nullopt;
    }
    return value;
}

constexpr std::uint32_t kMaxMs = 3'600'000;

constexpr std::array<OptionRule, 11> kOptionRules = {{
    {"--hardware", true,
     [](std::string_view value, KbsimOptions& options) -> std::string {
         const std::optional<std::uint32_t> version = Number(value, 255);
         options.keyboard.hardwareVersion = static_cast<std::uint8_t>(version.value_or(0));
         return version ? "" : "--hardware takes a version from 0 to 255";
     }},
    {"--only-baud", true,
     [](std::string_view value, KbsimOptions& options) -> std::string {
         options.keyboard.onlyBaud = Number(value, std::numeric_limits<std::uint32_t>::max());
         return IsLineBaud(options.keyboard.onlyBaud.value_or(0)) ? "" : "--only-baud takes a line speed such as 57600";
     }},
    {"--wrong-identification", false,
     [](std::string_view, KbsimOptions& options) -> std::string {
         options.keyboard.wrongIdentification = true;
         return "";
     }},
    {"--id-without-kb", false,
     [](std::string_view, KbsimOptions& options) -> std::string {
         options.keyboard.idWithoutKb = true;
         return "";
     }},
    {"--fault", true,
     [](std::string_view value, KbsimOptions& options) -> std::string {
         ParsedFault parsed = ParseFault(value);
         if (parsed.fault) {
             options.keyboard.faults.Add(std::move(*parsed.fault));
         }
         return parsed.error.empty() ? "" : "--fault " + std::string(value) + ": " + parsed.error;
     }},
    {"--processing-ms", true,
     [](std::string_view value, KbsimOptions& options) -> std::string {
         const std::optional<std::uint32_t> ms = Number(value, kMaxMs);
         options.keyboard.processingMs = ms.value_or(0);
         return ms ? "" : "--processing-ms takes milliseconds, at most an hour";
     }},
    {"--pace", false,
     [](std::string_view, KbsimOptions& options) -> std::string {
         options.keyboard.paceWire = true;
         return "";
     }},
    {"--pace-baud", true,
     [](std::string_view value, KbsimOptions& options) -> std::string {
         options.keyboard.paceWire = true;
         options.keyboard.paceBaud = Number(value, std::numeric_limits<std::uint32_t>::max());
         return IsLineBaud(options.keyboard.paceBaud.value_or(0)) ? "" : "--pace-baud takes a line speed such as 115200";
     }},
    {"--once", false,
     [](std::string_view, KbsimOptions& options) -> std::string {
         options.once = true;
         return "";
     }},
    {"--flash-out", true,
     [](std::string_view value, KbsimOptions& options) -> std::string {
         options.flashOut = std::string(value);
         return value.empty() ? "--flash-out takes a file name" : "";
     }},
    {"--help", false,
     [](std::string_view, KbsimOptions& options) -> std::string {
         options.help = true;
         return "";
     }},
}};

const OptionRule* FindRule(std::string_view name)
{
    for (const OptionRule& rule : kOptionRules) {
        if (rule.name == name) {
            return &rule;
        }
    }
    return nullptr;
}

} // namespace

ParsedKbsimOptions ParseKbsimOptions(std::span<const std::string_view> arguments)
{
    KbsimOptions options;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const OptionRule* rule = FindRule(arguments[i]);
        if (rule == nullptr) {
            return {std::nullopt, "unknown option '" + std::string(arguments[i]) + "'"};
        }
        if (rule->takesValue && i + 1 == arguments.size()) {
            return {std::nullopt, std::string(rule->name) + " needs a value"};
        }
        const std::string_view value = rule->takesValue ? arguments[++i] : std::string_view();
        std::string error = rule->apply(value, options);
        if (!error.empty()) {
            return {std::nullopt, std::move(error)};
        }
    }
    return {std::move(options), ""};
}

} // namespace tavex
