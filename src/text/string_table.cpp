#include "text/string_table.h"

namespace tavex {

std::string_view LoadString(int id)
{
    for (const NumberedString& entry : kStringTable) {
        if (entry.id == id) {
            return entry.text;
        }
    }
    return {};
}

} // namespace tavex
