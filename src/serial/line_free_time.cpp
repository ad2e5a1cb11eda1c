#include "serial/line_free_time.h"

#include <algorithm>

namespace tavex {

void LineFreeTime::Written(std::size_t bytes, const LineSettings& settings, Clock::time_point now)
{
    freeAt_ = std::max(freeAt_, now + WireTime(bytes, settings));
}

} // namespace tavex
