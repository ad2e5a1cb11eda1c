#pragma once

#include <QStringList>

#include <string_view>

namespace tavex {

// The file dialog's filters from the form "label|pattern|label|pattern||"
// into Qt's "label (pattern)". A label that already ends in its pattern in
// parentheses is kept as it is.
QStringList QtNameFilters(std::string_view pairs);

} // namespace tavex
