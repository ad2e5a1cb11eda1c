#pragma once

// What kind of failure lies behind a message, beside the system's own words
// for it: set where the system's error is read, so that a program reading
// the reports can tell the causes apart without reading English.

#include <string>
#include <string_view>

namespace tavex {

enum class ErrorCategory {
    kNone,               // no system error behind the message
    kNotFound,           // no such file or device
    kPermission,         // this user may not use it
    kInUse,              // another program (or this one) holds it
    kUnsupported,        // a file or device of a kind the program cannot use (not a serial port)
    kLost,               // the device went away while in use
    kTooManyOpenFiles,   // the program has no file descriptor (handle) left
    kOther,              // another system error
};

// A system's reason for a failure: its words and their category.
struct SystemReason {
    std::string text;
    ErrorCategory category = ErrorCategory::kNone;
};

// "not-found", "permission", "in-use", "unsupported", "lost",
// "too-many-open-files", "other"; empty for kNone.
std::string_view ErrorCategoryName(ErrorCategory category);

// The category of a C library error number (errno); kOther for one that
// falls in none.
ErrorCategory ErrnoCategory(int error);

} // namespace tavex
