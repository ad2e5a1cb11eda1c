#pragma once

// The command line of tavexdl-kbsim.

#include "sim/keyboard_config.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace tavex {

struct KbsimOptions {
    KeyboardConfig keyboard;
    bool once = false;
    std::optional<std::string> flashOut;
    bool help = false;
};

struct ParsedKbsimOptions {
    std::optional<KbsimOptions> options;
    std::string error;  // why the command line is not valid, when it is not
};

ParsedKbsimOptions ParseKbsimOptions(std::span<const std::string_view> arguments);

extern const char* const kKbsimUsage;

} // namespace tavex
