#pragma once

namespace tavex {

inline constexpr int kExitValid = 0;
inline constexpr int kExitInvalid = 1;
inline constexpr int kExitUsage = 2;
inline constexpr int kExitInterrupted = 130;  // a cancelled download, as after SIGINT

} // namespace tavex
