#include "sim/command_kind.h"

#include "protocol/bootloader_frames.h"

#include <array>

namespace tavex {

namespace {

struct KnownCommand {
    CommandKind kind;
    std::array<std::uint8_t, 2> code;
    std::string_view name;
};

constexpr std::array<KnownCommand, 5> kKnownCommands = {{
    {CommandKind::Ping, bootloader::kPing, "C0"},
    {CommandKind::ReadId, bootloader::kReadId, "T7"},
    {CommandKind::FlashSector, bootloader::kFlashSector, "C1"},
    {CommandKind::WriteBlock, bootloader::kWriteBlock, "S2"},
    {CommandKind::EndOfTable, bootloader::kEndOfTable, "S8"},
}};

} // namespace

CommandKind KindOfCommand(std::uint8_t first, std::uint8_t second)
{
    for (const KnownCommand& command : kKnownCommands) {
        if (command.code[0] == first && command.code[1] == second) {
            return command.kind;
        }
    }
    return CommandKind::Unknown;
}

std::string_view CommandName(CommandKind kind)
{
    for (const KnownCommand& command : kKnownCommands) {
        if (command.kind == kind) {
            return command.name;
        }
    }
    return "unknown";
}

std::optional<CommandKind> KindNamed(std::string_view name)
{
    for (const KnownCommand& command : kKnownCommands) {
        if (command.name == name) {
            return command.kind;
        }
    }
    return std::nullopt;
}

} // namespace tavex
