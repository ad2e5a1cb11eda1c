#pragma once

// File names as the command line takes them: UTF-8 throughout. On Linux the
// arguments and names are bytes and pass unchanged; on Windows the arguments
// come from the system's UTF-16 command line (the C library's would be in
// the ANSI code page, which cannot hold every name) and names are opened
// through the UTF-16 calls.

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace tavex {

// The program's arguments in UTF-8, from `argv` or from the system.
std::vector<std::string> CommandLineArguments(int argc, char** argv);

// std::fopen for a UTF-8 name, not inherited by child processes; `mode` is
// "a" or "w" (binary on Windows).
std::FILE* OpenNamedFile(const std::string& path, const char* mode);

// Hands what `file` has written to the disk itself (fsync), so that a power
// cut cannot take it back; false with errno set when that failed. A file
// that cannot be synchronised (a device, a pipe) counts as written.
bool SyncToDisk(std::FILE* file);

// Two names of one file: the same file under any name or link, or two nodes
// of one device. False when either cannot be looked at (a file that is not
// there yet is no other file).
bool SameFile(const std::string& first, const std::string& second);

// The path of a UTF-8 name, for the standard library's streams.
std::filesystem::path PathOfName(const std::string& path);

} // namespace tavex
