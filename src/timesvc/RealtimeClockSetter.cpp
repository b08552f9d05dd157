#include "timesvc/RealtimeClockSetter.h"

#include <ctime>

namespace orvane {

bool RealtimeClockSetter::SetUtc(std::int64_t utcMs) {
    std::int64_t seconds = utcMs / 1000;
    std::int64_t ms = utcMs % 1000;
    if (ms < 0) {
        ms += 1000;
        --seconds;
    }
    timespec ts{};
    ts.tv_sec = static_cast<std::time_t>(seconds);
    ts.tv_nsec = static_cast<long>(ms * 1000000);
    return clock_settime(CLOCK_REALTIME, &ts) == 0;
}

} // namespace orvane
