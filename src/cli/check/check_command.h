#pragma once

#include <span>
#include <string_view>

namespace tavex {

class IImageFiles;

// `check FILE [--hardware V] [--json]`. Answers the exit code: 0 valid,
// 1 invalid (the message on stderr), 2 usage error.
int RunCheckCommand(std::span<const std::string_view> arguments, IImageFiles& files);

} // namespace tavex
