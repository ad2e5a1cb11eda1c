#include "text/format.h"

namespace tavex::format_detail {

namespace {

void Append(std::string& out, const Argument& argument)
{
    if (const auto* number = std::get_if<std::int64_t>(&argument)) {
        out += std::to_string(*number);
    } else if (const auto* character = std::get_if<char>(&argument)) {
        out += *character;
    } else {
        out += std::get<std::string_view>(argument);
    }
}

} // namespace

std::string FormatArguments(std::string_view format, std::initializer_list<Argument> arguments)
{
    std::string out;
    out.reserve(format.size() + 32);
    const Argument* next = arguments.begin();
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] != '%' || i + 1 == format.size()) {
            out += format[i];
            continue;
        }
        ++i;
        if (format[i] == '%') {
            out += '%';
        } else if (next != arguments.end()) {
            Append(out, *next++);
        }
    }
    return out;
}

} // namespace tavex::format_detail
