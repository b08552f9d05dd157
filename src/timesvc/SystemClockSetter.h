#pragma once

#include <cstdint>

namespace orvane {

// Sets the computer's clock. The program uses RealtimeClockSetter; tests inject a fake and never touch the
// machine's clock.
class SystemClockSetter {
public:
    virtual ~SystemClockSetter() = default;

    // utcMs: milliseconds since 1970-01-01 00:00:00 UTC. False when the clock was not set.
    virtual bool SetUtc(std::int64_t utcMs) = 0;
};

} // namespace orvane
