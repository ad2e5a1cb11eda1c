#pragma once

// Text helpers of the directive reader: C-locale rules, no dependence on the
// process's locale.

#include <cstdint>
#include <string>
#include <string_view>

namespace tavex::directive_text {

bool IsBlank(char c);  // space, tab, CR, LF, vertical tab, form feed


std::string_view Trim(std::string_view text);

// Every occurrence of `word` taken out of `text`, in one pass from the left.
std::string RemoveAll(std::string_view text, std::string_view word);

// The decimal number at the start of `text`: leading blanks skipped, an
// optional sign, then digits up to the first other character; 0 without
// digits. A number beyond the 32-bit range stays beyond the range the
// callers accept instead of wrapping into it.
std::int32_t DecimalValue(std::string_view text);

} // namespace tavex::directive_text
