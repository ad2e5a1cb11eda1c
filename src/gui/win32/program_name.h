#pragma once

// The program's name as its message boxes carry it: the running file's name
// without its directory and its extension.

#include <string>
#include <string_view>

namespace tavex {

// "C:\Tools\tavexdl.exe" gives "tavexdl"; only the last extension goes.
std::wstring ProgramNameFromPath(std::wstring_view path);

// The name of the file this process runs.
std::wstring ProgramName();

} // namespace tavex
