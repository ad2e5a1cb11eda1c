#pragma once

// The commands the keyboard's bootloader knows, by their two code bytes.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace tavex {

enum class CommandKind : std::uint8_t {
    Ping,
    ReadId,
    FlashSector,
    WriteBlock,
    EndOfTable,
    Unknown,
};

inline constexpr std::size_t kCommandKindCount = 6;  // Unknown included

CommandKind KindOfCommand(std::uint8_t first, std::uint8_t second);

// "C0", "T7", "C1", "S2", "S8", or "unknown".
std::string_view CommandName(CommandKind kind);

// The known kind with the two-letter name `name`; nothing for any other text.
std::optional<CommandKind> KindNamed(std::string_view name);

constexpr std::size_t IndexOf(CommandKind kind) { return static_cast<std::size_t>(kind); }

} // namespace tavex
