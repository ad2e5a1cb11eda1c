#pragma once

namespace tavex {

// What every command's exit status means, the same for all of them.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;      // a download or a check failed, or said why it could not run
inline constexpr int kExitUsage = 2;       // the command line is not one the command takes
inline constexpr int kExitCancelled = 130;  // the operator stopped it, as after SIGINT

} // namespace tavex
