#include "text/error_category.h"

#include <gtest/gtest.h>

#include <cerrno>

namespace tavex {
namespace {

// The names are what JSON readers branch on: they never change.
TEST(ErrorCategory, HasOneStableNameEachAndNoneForNoError)
{
    const std::pair<ErrorCategory, const char*> names[] = {
        {ErrorCategory::kNone, ""},
        {ErrorCategory::kNotFound, "not-found"},
        {ErrorCategory::kPermission, "permission"},
        {ErrorCategory::kInUse, "in-use"},
        {ErrorCategory::kUnsupported, "unsupported"},
        {ErrorCategory::kLost, "lost"},
        {ErrorCategory::kTooManyOpenFiles, "too-many-open-files"},
        {ErrorCategory::kOther, "other"},
    };
    for (const auto& [category, name] : names) {
        EXPECT_EQ(ErrorCategoryName(category), name);
    }
}

TEST(ErrorCategory, OfAnErrorNumber)
{
    const std::pair<int, ErrorCategory> cases[] = {
        {ENOENT, ErrorCategory::kNotFound},      {EACCES, ErrorCategory::kPermission},
        {EBUSY, ErrorCategory::kInUse},          {EMFILE, ErrorCategory::kTooManyOpenFiles},
        {ENFILE, ErrorCategory::kTooManyOpenFiles}, {EIO, ErrorCategory::kOther},
    };
    for (const auto& [number, category] : cases) {
        SCOPED_TRACE(number);
        EXPECT_EQ(ErrnoCategory(number), category);
    }
}

} // namespace
} // namespace tavex
