#include "cli/output/json_writer.h"

#include <cstdio>

namespace tavex {

namespace {

// Length of the valid UTF-8 sequence at the start of `text`, or 0.
std::size_t Utf8SequenceLength(std::string_view text)
{
    const auto lead = static_cast<unsigned char>(text[0]);
    std::size_t length = 0;
    unsigned char min = 0x80;
    unsigned char max = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        min = lead == 0xE0 ? 0xA0 : 0x80;
        max = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        min = lead == 0xF0 ? 0x90 : 0x80;
        max = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (text.size() < length) {
        return 0;
    }
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[i]);
        const unsigned char low = i == 1 ? min : 0x80;
        const unsigned char high = i == 1 ? max : 0xBF;
        if (next < low || next > high) {
            return 0;
        }
    }
    return length;
}

} // namespace

std::string JsonString(std::string_view text)
{
    std::string json = "\"";
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c >= 0x80) {
            const std::size_t length = Utf8SequenceLength(text.substr(i));
            json += length == 0 ? std::string_view("\\ufffd") : text.substr(i, length);
            i += length == 0 ? 1 : length;
            continue;
        }
        switch (c) {
        case '"': json += "\\\""; break;
        case '\\': json += "\\\\"; break;
        case '\n': json += "\\n"; break;
        case '\r': json += "\\r"; break;
        case '\t': json += "\\t"; break;
        default:
            if (c < 0x20 || c == 0x7F) {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
                json += escaped;
            } else {
                json += static_cast<char>(c);
            }
        }
        ++i;
    }
    return json + "\"";
}

void JsonObject::Key(std::string_view key)
{
    if (!members_.empty()) {
        members_ += ',';
    }
    members_ += JsonString(key);
    members_ += ':';
}

JsonObject& JsonObject::Add(std::string_view key, std::string_view text)
{
    Key(key);
    members_ += JsonString(text);
    return *this;
}

JsonObject& JsonObject::Add(std::string_view key, std::uint64_t number)
{
    Key(key);
    members_ += std::to_string(number);
    return *this;
}

JsonObject& JsonObject::Add(std::string_view key, std::int64_t number)
{
    Key(key);
    members_ += std::to_string(number);
    return *this;
}

JsonObject& JsonObject::Add(std::string_view key, bool flag)
{
    Key(key);
    members_ += flag ? "true" : "false";
    return *this;
}

JsonObject& JsonObject::AddTextOrNull(std::string_view key, std::string_view text)
{
    return text.empty() ? AddNull(key) : Add(key, text);
}

JsonObject& JsonObject::AddNull(std::string_view key)
{
    Key(key);
    members_ += "null";
    return *this;
}

JsonObject& JsonObject::AddRaw(std::string_view key, std::string_view json)
{
    Key(key);
    members_ += json;
    return *this;
}

} // namespace tavex
