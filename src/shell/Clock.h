#pragma once

#include <cstdint>

namespace orvane {

struct LocalDateTime {
    int year = 1970;
    int month = 1; // 1..12
    int day = 1;   // 1..31
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;
    int weekday = 4; // 0 = Sunday
};

// Time as the core sees it. Waits and time-outs use the monotonic milliseconds; stamps use UTC; the log
// prefix and local stamps use the local conversion. Tests inject a fake so that waits cost nothing.
class Clock {
public:
    virtual ~Clock() = default;

    virtual std::int64_t MonotonicMs() const = 0;
    // Milliseconds since 1970-01-01 00:00:00 UTC.
    virtual std::int64_t UtcMs() const = 0;
    virtual LocalDateTime ToLocal(std::int64_t utcMs) const = 0;

    LocalDateTime LocalNow() const { return ToLocal(UtcMs()); }
};

} // namespace orvane
