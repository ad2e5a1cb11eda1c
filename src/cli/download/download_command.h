#pragma once

#include <span>
#include <string_view>

namespace tavex {

// `download FILE (--device PATH | --com N)... [options]`, given the arguments
// after the command's name. Answers the exit code: 0 a silent end, 1 an end
// with a message, 2 a usage error, 130 an interrupted download that ended
// without a message.
int RunDownloadCommand(char* programPath, std::span<const std::string_view> arguments);

} // namespace tavex
