#pragma once

// printf-style formatting for the program's texts, which use only %s, %d and
// %c. The arguments are checked against the format at compile time: a text
// and arguments that disagree do not compile.

#include "text/string_table.h"

#include <concepts>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <type_traits>
#include <variant>

namespace tavex {

namespace format_detail {

template <class T>
concept CharArgument = std::same_as<T, char> || std::same_as<T, unsigned char>;

template <class T>
concept IntArgument = std::integral<T> && !CharArgument<T> && !std::same_as<T, bool>;

template <class T>
concept TextArgument = std::convertible_to<const T&, std::string_view>;

template <class T>
consteval char ConversionFor()
{
    using Bare = std::remove_cvref_t<T>;
    if constexpr (CharArgument<Bare>) {
        return 'c';
    } else if constexpr (IntArgument<Bare>) {
        return 'd';
    } else if constexpr (TextArgument<Bare>) {
        return 's';
    } else {
        return '?';
    }
}

// True when the conversions of `format` are exactly `conversions`, in order.
consteval bool ConversionsMatch(std::string_view format, std::string_view conversions)
{
    std::size_t next = 0;
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] != '%') {
            continue;
        }
        if (++i == format.size()) {
            return false;
        }
        if (format[i] == '%') {
            continue;
        }
        if (next == conversions.size() || conversions[next] != format[i]) {
            return false;
        }
        ++next;
    }
    return next == conversions.size();
}

using Argument = std::variant<std::int64_t, char, std::string_view>;

std::string FormatArguments(std::string_view format, std::initializer_list<Argument> arguments);

template <class T>
Argument ToArgument(const T& value)
{
    if constexpr (CharArgument<T>) {
        return static_cast<char>(value);
    } else if constexpr (IntArgument<T>) {
        return static_cast<std::int64_t>(value);
    } else {
        return std::string_view(value);
    }
}

} // namespace format_detail

// A format text checked, at compile time, against the argument types.
template <class... Args>
class CheckedFormat {
public:
    template <class Text>
        requires std::convertible_to<const Text&, std::string_view>
    consteval CheckedFormat(const Text& text) : text_(text)
    {
        constexpr char conversions[] = {format_detail::ConversionFor<Args>()..., '\0'};
        if (!format_detail::ConversionsMatch(text_, std::string_view(conversions, sizeof...(Args)))) {
            throw "the format's conversions do not match the arguments";
        }
    }

    constexpr std::string_view Text() const { return text_; }

private:
    std::string_view text_;
};

template <class... Args>
std::string Format(CheckedFormat<std::type_identity_t<Args>...> format, const Args&... arguments)
{
    return format_detail::FormatArguments(format.Text(), {format_detail::ToArgument(arguments)...});
}

// The numbered string `Id` formatted with `arguments`.
template <int Id, class... Args>
std::string Message(const Args&... arguments)
{
    return Format<Args...>(StringText<Id>, arguments...);
}

} // namespace tavex
