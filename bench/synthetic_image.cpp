#include "synthetic_image.h"

namespace tavex::bench {

namespace {

constexpr std::uint32_t kAddressMask = 0xFFFFFF;
constexpr char kHexDigits[] = "0123456789ABCDEF";

void AppendHexByte(std::string& text, unsigned value)
{
    text += kHexDigits[(value >> 4) & 0xFU];
    text += kHexDigits[value & 0xFU];
}

unsigned DataByteAt(std::uint32_t address) { return (address * 7U + 3U) & 0xFFU; }

} // namespace

std::size_t WriteBlockLines::LineSize()
{
    // "S2", the length, 3 address bytes, the data, the checksum, CR LF.
    return 2 + 2 + 2 * (3 + kBlockDataBytes + 1) + 2;
}

void WriteBlockLines::AppendLine(std::string& text)
{
    // The length byte counts the address, the data and the checksum.
    const unsigned length = 3 + kBlockDataBytes + 1;
    unsigned sum = length;
    text += "S2";
    AppendHexByte(text, length);
    for (const unsigned shift : {16U, 8U, 0U}) {
        const unsigned addressByte = (nextAddress_ >> shift) & 0xFFU;
        sum += addressByte;
        AppendHexByte(text, addressByte);
    }
    for (std::uint32_t i = 0; i < kBlockDataBytes; ++i) {
        const unsigned data = DataByteAt((nextAddress_ + i) & kAddressMask);
        sum += data;
        AppendHexByte(text, data);
    }
    AppendHexByte(text, ~sum & 0xFFU);
    text += "\r\n";
    nextAddress_ = (nextAddress_ + kBlockDataBytes) & kAddressMask;
}

std::size_t WriteBlockLines::AppendWithin(std::string& text, std::size_t byteBudget)
{
    const std::size_t lines = byteBudget / LineSize();
    for (std::size_t i = 0; i < lines; ++i) {
        AppendLine(text);
    }
    return lines * LineSize();
}

std::string EndOfTableLine() { return "S804000000FB\r\n"; }

std::string S19ImageText(std::size_t textBytes)
{
    std::string text;
    text.reserve(textBytes + WriteBlockLines::LineSize());
    WriteBlockLines().AppendWithin(text, textBytes - EndOfTableLine().size());
    text += EndOfTableLine();
    return text;
}

std::string S20ImageText(std::size_t textBytes)
{
    const std::string header = "#schema 1\r\n#hardware 1, 2\r\n";
    const std::string blockStart = "#if-hardware 2\r\n";
    const std::string blockEnd = "#endif\r\n";
    const std::size_t overhead = header.size() + blockStart.size() + blockEnd.size() + EndOfTableLine().size();
    const std::size_t quarter = (textBytes - overhead) / 4;

    std::string text;
    text.reserve(textBytes + WriteBlockLines::LineSize());
    WriteBlockLines lines;
    text += header;
    lines.AppendWithin(text, quarter);
    text += blockStart;
    lines.AppendWithin(text, 2 * quarter);
    text += blockEnd;
    lines.AppendWithin(text, quarter);
    text += EndOfTableLine();
    return text;
}

} // namespace tavex::bench
