#include "sim/fault_plan.h"

#include <array>
#include <charconv>

namespace tavex {

namespace {

struct ActionName {
    std::string_view name;
    FaultAction action;
    bool takesValue;
    bool letsCommandAct;
};

constexpr std::array<ActionName, 6> kActions = {{
    {"ce", FaultAction::CommunicationError, false, false},
    {"fe", FaultAction::CommandError, false, false},
    {"bytes", FaultAction::ReplyBytes, true, true},
    {"silent", FaultAction::Silent, false, false},
    {"late", FaultAction::Late, true, true},
    {"vanish", FaultAction::Vanish, false, true},
}};

const ActionName* FindAction(std::string_view name)
{
    for (const ActionName& action : kActions) {
        if (action.name == name) {
            return &action;
        }
    }
    return nullptr;
}

std::optional<std::uint32_t> ParseNumber(std::string_view text)
{
    std::uint32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

std::optional<std::uint32_t> ParsePositive(std::string_view text)
{
    const std::optional<std::uint32_t> value = ParseNumber(text);
    return value && *value > 0 ? value : std::nullopt;
}

std::optional<std::vector<std::uint8_t>> ParseHex(std::string_view text)
{
    if (text.size() % 2 != 0) {
        return std::nullopt;
    }
    std::vector<std::uint8_t> bytes(text.size() / 2);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const char* pair = text.data() + 2 * i;
        const auto [end, error] = std::from_chars(pair, pair + 2, bytes[i], 16);
        if (error != std::errc() || end != pair + 2) {
            return std::nullopt;
        }
    }
    return bytes;
}

// Fills the WHERE fields; false when `where` is not a frame number, a kind or KIND#N.
bool ParseWhere(std::string_view where, Fault& fault)
{
    if ((fault.commandIndex = ParsePositive(where))) {
        return true;
    }
    const std::size_t hash = where.find('#');
    if ((fault.kind = KindNamed(where.substr(0, hash))) && hash == std::string_view::npos) {
        return true;
    }
    return fault.kind && (fault.nthOfKind = ParsePositive(where.substr(hash + 1)));
}

// Fills the bytes of a bytes=HEX fault; answers the error, empty when they are bytes.
std::string ParseReplyBytes(std::string_view hex, Fault& fault)
{
    // No bytes at all would be a silent fault that lets the command act: more
    // likely a value left out than meant.
    if (hex.empty()) {
        return "bytes=HEX needs at least one byte (for no reply, 'silent')";
    }
    std::optional<std::vector<std::uint8_t>> bytes = ParseHex(hex);
    if (!bytes) {
        return "bytes=HEX needs pairs of hex digits";
    }
    fault.bytes = std::move(*bytes);
    return "";
}

// Fills the WHAT fields; answers the error, empty when it is a fault.
std::string ParseWhat(std::string_view what, Fault& fault)
{
    const std::size_t equals = what.find('=');
    const ActionName* action = FindAction(what.substr(0, equals));
    if (action == nullptr) {
        return "unknown fault '" + std::string(what.substr(0, equals)) + "'";
    }
    if (action->takesValue != (equals != std::string_view::npos)) {
        return action->takesValue ? "'" + std::string(action->name) + "' needs =VALUE"
                                  : "'" + std::string(action->name) + "' takes no value";
    }
    fault.action = action->action;
    const std::string_view value = action->takesValue ? what.substr(equals + 1) : std::string_view();
    if (action->action == FaultAction::ReplyBytes) {
        return ParseReplyBytes(value, fault);
    }
    if (action->action == FaultAction::Late) {
        const std::optional<std::uint32_t> ms = ParseNumber(value);
        if (!ms) {
            return "late=MS needs a number of milliseconds";
        }
        fault.lateMs = *ms;
    }
    return "";
}

} // namespace

bool Fault::Matches(std::uint32_t frameIndex, CommandKind frameKind, std::uint32_t indexOfKind) const
{
    if (commandIndex) {
        return *commandIndex == frameIndex;
    }
    return kind == frameKind && (!nthOfKind || *nthOfKind == indexOfKind);
}

bool Fault::LetsCommandAct() const
{
    for (const ActionName& known : kActions) {
        if (known.action == action) {
            return known.letsCommandAct;
        }
    }
    return false;
}

ParsedFault ParseFault(std::string_view text)
{
    const std::size_t colon = text.find(':');
    if (colon == std::string_view::npos) {
        return {std::nullopt, "a fault is WHERE:WHAT, e.g. S2:ce"};
    }
    Fault fault;
    if (!ParseWhere(text.substr(0, colon), fault)) {
        return {std::nullopt, "'" + std::string(text.substr(0, colon)) +
                                  "' is not a frame number, C0, T7, C1, S2, S8 or KIND#N"};
    }
    std::string error = ParseWhat(text.substr(colon + 1), fault);
    if (!error.empty()) {
        return {std::nullopt, std::move(error)};
    }
    return {std::move(fault), ""};
}

const Fault* FaultPlan::Match(std::uint32_t frameIndex, CommandKind frameKind, std::uint32_t indexOfKind) const
{
    for (const Fault& fault : faults_) {
        if (fault.Matches(frameIndex, frameKind, indexOfKind)) {
            return &fault;
        }
    }
    return nullptr;
}

} // namespace tavex
