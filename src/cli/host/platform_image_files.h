#pragma once

// The image files of the platform the command line runs on: both kinds open
// a file for one download alone, or shared among the downloads of one image.

#ifdef _WIN32
#include "platform/win32_image_file.h"
#else
#include "platform/posix_image_file.h"
#endif

namespace tavex {

#ifdef _WIN32
using PlatformImageFiles = Win32ImageFiles;
#else
using PlatformImageFiles = PosixImageFiles;
#endif

} // namespace tavex
