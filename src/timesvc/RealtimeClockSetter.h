#pragma once

#include "timesvc/SystemClockSetter.h"

namespace orvane {

// clock_settime(CLOCK_REALTIME). It needs CAP_SYS_TIME; without it the call fails with EPERM and nothing
// changes.
class RealtimeClockSetter : public SystemClockSetter {
public:
    bool SetUtc(std::int64_t utcMs) override;
};

} // namespace orvane
