#include "text/error_category.h"

#include <array>
#include <cerrno>
#include <utility>

namespace tavex {

namespace {

constexpr std::array<std::pair<ErrorCategory, std::string_view>, 7> kNames = {{
    {ErrorCategory::kNotFound, "not-found"},
    {ErrorCategory::kPermission, "permission"},
    {ErrorCategory::kInUse, "in-use"},
    {ErrorCategory::kUnsupported, "unsupported"},
    {ErrorCategory::kLost, "lost"},
    {ErrorCategory::kTooManyOpenFiles, "too-many-open-files"},
    {ErrorCategory::kOther, "other"},
}};

constexpr std::array<std::pair<int, ErrorCategory>, 9> kErrnoCategories = {{
    {ENOENT, ErrorCategory::kNotFound},
    {ENODEV, ErrorCategory::kNotFound},
    {ENXIO, ErrorCategory::kNotFound},
    {EACCES, ErrorCategory::kPermission},
    {EPERM, ErrorCategory::kPermission},
    {EBUSY, ErrorCategory::kInUse},
    {EWOULDBLOCK, ErrorCategory::kInUse},  // a lock another holder has
    {EMFILE, ErrorCategory::kTooManyOpenFiles},
    {ENFILE, ErrorCategory::kTooManyOpenFiles},
}};

} // namespace

ErrorCategory ErrnoCategory(int error)
{
    for (const auto& [number, category] : kErrnoCategories) {
        if (number == error) {
            return category;
        }
    }
    return ErrorCategory::kOther;
}

std::string_view ErrorCategoryName(ErrorCategory category)
{
    for (const auto& [entry, name] : kNames) {
        if (entry == category) {
            return name;
        }
    }
    return {};
}

} // namespace tavex
