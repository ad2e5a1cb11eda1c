#pragma once

// Where the program's per-user settings live: the organisation and the
// application they are filed under (the registry key's two names on
// Windows, the settings file's folder and name elsewhere).

namespace tavex {

inline constexpr const char* kSettingsOrganisation = "Norwick Inc.";
inline constexpr const char* kSettingsApplication = "TavexDownloader";

} // namespace tavex
