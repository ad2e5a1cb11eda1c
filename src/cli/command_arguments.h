#pragma once

// What both commands read their arguments with, so that they agree: "--"
// ends the options (an image may be called "--fw.s20"), and an option that
// takes a value never takes the next option's name for it.

#include <cstddef>
#include <optional>
#include <span>
#include <string_view>

namespace tavex {

class CommandArguments {
public:
    // `command` names the command in messages: "tavexdl-cli download".
    CommandArguments(std::string_view command, std::span<const std::string_view> arguments)
        : command_(command), arguments_(arguments)
    {
    }

    // Moves to the next argument, stepping over a first "--"; false at the end.
    bool Next();
    std::string_view Current() const { return arguments_[at_]; }
    // The current argument is an option's name: "--x" before any "--".
    bool IsOption() const { return !optionsEnded_ && Current().starts_with("--"); }

    // Takes the argument after the current option as its value; nothing,
    // with the reason on stderr, when there is none or it is an option.
    std::optional<std::string_view> Value();

private:
    std::string_view command_;
    std::span<const std::string_view> arguments_;
    std::size_t at_ = 0;
    bool started_ = false;
    bool optionsEnded_ = false;
};

} // namespace tavex
