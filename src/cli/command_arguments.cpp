#include "cli/command_arguments.h"

#include "cli/output/terminal_text.h"

#include <cstdio>
#include <string>

namespace tavex {

bool CommandArguments::Next()
{
    at_ = started_ ? at_ + 1 : 0;
    started_ = true;
    if (at_ < arguments_.size() && !optionsEnded_ && Current() == "--") {
        optionsEnded_ = true;
        ++at_;
    }
    return at_ < arguments_.size();
}

std::optional<std::string_view> CommandArguments::Value()
{
    const std::string option = TerminalSafe(Current());
    const std::string command(command_);
    if (at_ + 1 == arguments_.size()) {
        std::fprintf(stderr, "%s: %s needs a value\n", command.c_str(), option.c_str());
        return std::nullopt;
    }
    const std::string_view value = arguments_[at_ + 1];
    if (value.starts_with("--")) {
        std::fprintf(stderr, "%s: %s needs a value, not the option '%s'\n", command.c_str(), option.c_str(),
                     TerminalSafe(value).c_str());
        return std::nullopt;
    }
    ++at_;
    return value;
}

} // namespace tavex
