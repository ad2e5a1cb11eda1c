#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tavex {

// Builds one JSON object, members in the order they are added.
class JsonObject {
public:
    JsonObject& Add(std::string_view key, std::string_view text);
    JsonObject& Add(std::string_view key, const char* text) { return Add(key, std::string_view(text)); }
    JsonObject& Add(std::string_view key, std::uint64_t number);
    JsonObject& Add(std::string_view key, std::int64_t number);
    JsonObject& Add(std::string_view key, std::int32_t number) { return Add(key, std::int64_t{number}); }
    JsonObject& Add(std::string_view key, bool flag);
    JsonObject& AddNull(std::string_view key);
    JsonObject& AddTextOrNull(std::string_view key, std::string_view text);  // null for an empty text
    JsonObject& AddRaw(std::string_view key, std::string_view json);  // a nested value, already JSON

    std::string Text() const { return "{" + members_ + "}"; }

private:
    void Key(std::string_view key);
    std::string members_;
};

// `text` as a JSON string. Bytes that are not valid UTF-8 become U+FFFD.
std::string JsonString(std::string_view text);

} // namespace tavex
