#pragma once

#include <string_view>

namespace tavex {

struct NumberedString {
    int id;
    std::string_view text;
};

inline constexpr NumberedString kStringTable[] = {
#define TAVEX_STRING(id, name, text) {id, text},
#include "string_table.inc"
#undef TAVEX_STRING
};

// The strings' numbers by name, for Message<string_id::kTimedOut>() and the like.
namespace string_id {
#define TAVEX_STRING(id, name, text) inline constexpr int name = id;
#include "string_table.inc"
#undef TAVEX_STRING
} // namespace string_id

constexpr std::string_view FindString(int id)
{
    for (const NumberedString& entry : kStringTable) {
        if (entry.id == id) {
            return entry.text;
        }
    }
    throw "no string with this number in the string table";
}

// Compile-time lookup: a number that is not in the table does not compile.
template <int Id>
inline constexpr std::string_view StringText = FindString(Id);

// Run-time lookup for callers that choose the number at run time (the status
// line). Answers an empty text for a number the table lacks.
std::string_view LoadString(int id);

} // namespace tavex
