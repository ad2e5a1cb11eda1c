#pragma once

// The data the keyboard answers with: its identification and its identity record.

#include <cstdint>
#include <vector>

namespace tavex {

// The 18 bytes PING answers; `wrong` gives those of another keyboard model.
std::vector<std::uint8_t> IdentificationAnswer(bool wrong);

// The 16-byte identity record: "KB" (or not, when `withoutKb`), a serial
// number, the hardware version at byte 6, the firmware version.
std::vector<std::uint8_t> KeyboardIdAnswer(std::uint8_t hardwareVersion, bool withoutKb);

} // namespace tavex
