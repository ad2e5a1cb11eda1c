#pragma once

// The one way into <windows.h>, for the Win32 files only. Its function-name
// macros (PostMessage for PostMessageW, LoadString for LoadStringW) would
// rename the project's own members of those names in any header included
// after it, so they are taken back here; the Win32 files call the W
// functions by their full names.

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif

#include <windows.h>

#undef PostMessage
#undef LoadString
#undef MessageBox
#undef SendMessage

#include "text/error_category.h"

#include <string>

namespace tavex {

// UTF-8 to and from the system's UTF-16.
std::wstring WideFromUtf8(const std::string& text);
std::string Utf8FromWide(const std::wstring& text);

// The system's text for an error code (GetLastError), without its line end.
std::string SystemErrorText(DWORD error);

// The category of an error code; kOther for one that falls in none.
ErrorCategory SystemErrorCategory(DWORD error);

} // namespace tavex
