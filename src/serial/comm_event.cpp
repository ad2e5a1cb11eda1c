#include "serial/comm_event.h"

namespace tavex {

int MapCommEvent(std::int16_t commEvent)
{
    if (commEvent >= 1 && commEvent <= 7) {
        return commEvent - 1;
    }
    if (commEvent >= 1001 && commEvent <= 1004) {
        return commEvent - 994;
    }
    if (commEvent >= 1006 && commEvent <= 1011) {
        return commEvent - 995;
    }
    return kEventUnknown;
}

} // namespace tavex
