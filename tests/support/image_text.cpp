#include "support/image_text.h"

#include <cstdio>

namespace tavex::test {

namespace {

std::string HexByte(unsigned value)
{
    char text[3];
    std::snprintf(text, sizeof text, "%02X", value & 0xFFU);
    return text;
}

} // namespace

std::string RecordLine(const std::string& type, const std::vector<std::uint8_t>& bytes)
{
    const unsigned length = static_cast<unsigned>(bytes.size()) + 1;
    unsigned sum = length;
    std::string line = type + HexByte(length);
    for (std::uint8_t byte : bytes) {
        sum += byte;
        line += HexByte(byte);
    }
    return line + HexByte(~sum);
}

std::string FlashSectorLine(std::uint8_t sector) { return RecordLine("C1", {0, 0, sector}); }

std::string WriteBlockLine(std::uint32_t address, const std::vector<std::uint8_t>& data)
{
    std::vector<std::uint8_t> bytes = {static_cast<std::uint8_t>(address >> 16), static_cast<std::uint8_t>(address >> 8),
                                       static_cast<std::uint8_t>(address)};
    bytes.insert(bytes.end(), data.begin(), data.end());
    return RecordLine("S2", bytes);
}

std::string EndOfTableLine() { return RecordLine("S8", {0xFF, 0xFF, 0xFF}); }

std::string Lines(std::initializer_list<std::string> lines)
{
    std::string text;
    for (const std::string& line : lines) {
        text += line + "\r\n";
    }
    return text;
}

std::vector<std::uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

} // namespace tavex::test
