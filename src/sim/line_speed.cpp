#include "sim/line_speed.h"

#include <array>

namespace tavex {

namespace {

struct SpeedBaud {
    speed_t speed;
    std::uint32_t baud;
};

constexpr std::array<SpeedBaud, 18> kSpeeds = {{
    {B0, 0},
    {B50, 50},
    {B75, 75},
    {B110, 110},
    {B134, 134},
    {B150, 150},
    {B200, 200},
    {B300, 300},
    {B600, 600},
    {B1200, 1200},
    {B1800, 1800},
    {B2400, 2400},
    {B4800, 4800},
    {B9600, 9600},
    {B19200, 19200},
    {B38400, 38400},
    {B57600, 57600},
    {B115200, 115200},
}};

} // namespace

std::uint32_t BaudOfSpeed(speed_t speed)
{
    for (const SpeedBaud& entry : kSpeeds) {
        if (entry.speed == speed) {
            return entry.baud;
        }
    }
    return 0;
}

bool IsLineBaud(std::uint32_t baud)
{
    for (const SpeedBaud& entry : kSpeeds) {
        if (entry.baud == baud && baud != 0) {
            return true;
        }
    }
    return false;
}

} // namespace tavex
