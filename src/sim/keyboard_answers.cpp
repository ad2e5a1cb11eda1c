#include "sim/keyboard_answers.h"

#include "protocol/bootloader_frames.h"

#include <array>
#include <string_view>

namespace tavex {

namespace {

// "Norwick KB2": a keyboard of the same family that this firmware is not for.
constexpr std::size_t kModelDigitIndex = 10;
constexpr std::uint8_t kOtherModelDigit = '2';

// The record around the hardware version byte: "KB", serial "0417", the
// version, then firmware "V1.00-SIM".
constexpr std::string_view kSerial = "0417";
constexpr std::string_view kFirmwareVersion = "V1.00-SIM";
constexpr std::array<std::uint8_t, 2> kNotKb = {'Q', 'X'};

} // namespace

std::vector<std::uint8_t> IdentificationAnswer(bool wrong)
{
    std::vector<std::uint8_t> answer(bootloader::kIdentification.begin(), bootloader::kIdentification.end());
    if (wrong) {
        answer[kModelDigitIndex] = kOtherModelDigit;
    }
    return answer;
}

std::vector<std::uint8_t> KeyboardIdAnswer(std::uint8_t hardwareVersion, bool withoutKb)
{
    const auto& prefix = withoutKb ? kNotKb : bootloader::kKeyboardIdPrefix;
    std::vector<std::uint8_t> answer(prefix.begin(), prefix.end());
    answer.insert(answer.end(), kSerial.begin(), kSerial.end());
    answer.push_back(hardwareVersion);
    answer.insert(answer.end(), kFirmwareVersion.begin(), kFirmwareVersion.end());
    static_assert(2 + kSerial.size() == bootloader::kHardwareVersionIndex);
    static_assert(2 + kSerial.size() + 1 + kFirmwareVersion.size() == bootloader::kKeyboardIdLength);
    return answer;
}

} // namespace tavex
