#pragma once

namespace tavex {

// Results with which the main window closes.
inline constexpr int kEndPortSettingsRefused = 5000;
inline constexpr int kEndNoEventWindow = 5001;
inline constexpr int kEndNoCommControl = 5002;
inline constexpr int kEndNoTimer = 5003;
inline constexpr int kEndOperatorClose = 5005;

} // namespace tavex
