#pragma once

#include "shell/Clock.h"

namespace orvane {

// The machine's clocks: CLOCK_MONOTONIC, CLOCK_REALTIME and the system time-zone database.
class SystemClock : public Clock {
public:
    std::int64_t MonotonicMs() const override;
    std::int64_t UtcMs() const override;
    LocalDateTime ToLocal(std::int64_t utcMs) const override;

    static SystemClock& Instance();
};

} // namespace orvane
