#include "serial/property_rules.h"

namespace tavex {

namespace {

constexpr std::int16_t kLastComNumber = 16;

} // namespace

void RequireComNumber(std::int16_t number)
{
    if (number < 1 || number > kLastComNumber) {
        throw CommControlError("CommPort must be 1 to 16, not " + std::to_string(number));
    }
}

void RequirePositive(std::int16_t value, const char* property)
{
    if (value <= 0) {
        throw CommControlError(std::string(property) + " must be positive: " + std::to_string(value));
    }
}

void RequireNotNegative(std::int16_t value, const char* property)
{
    if (value < 0) {
        throw CommControlError(std::string(property) + " cannot be negative: " + std::to_string(value));
    }
}

void RequireHandshaking(std::int32_t value)
{
    if (value < 0 || value > 3) {
        throw CommControlError("Handshaking must be 0 to 3, not " + std::to_string(value));
    }
}

void RequireParityReplace(const std::string& replacement)
{
    if (replacement.size() > 1) {
        throw CommControlError("ParityReplace takes one character, not \"" + replacement + "\"");
    }
}

void RequireInputMode(std::int32_t mode)
{
    if (mode != 0 && mode != 1) {
        throw CommControlError("InputMode must be 0 or 1, not " + std::to_string(mode));
    }
}

} // namespace tavex
