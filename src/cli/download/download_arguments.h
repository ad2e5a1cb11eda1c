#pragma once

// The download command's arguments, read and checked before anything is
// opened: an image file, each keyboard's device once, a log of its own.

#include "cli/device/download_target.h"

#include <optional>
#include <span>
#include <string_view>

namespace tavex {

// The options, or nothing after saying on stderr why they are not usable.
std::optional<DownloadOptions> ParseDownloadArguments(std::span<const std::string_view> arguments);

// The command's usage line, with its newline.
const char* DownloadUsage();

} // namespace tavex
