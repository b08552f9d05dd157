#include "shell/SystemClock.h"

#include <ctime>

namespace orvane {

namespace {
std::int64_t ReadMs(clockid_t id) {
    timespec ts{};
    clock_gettime(id, &ts);
    return static_cast<std::int64_t>(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}
} // namespace

std::int64_t SystemClock::MonotonicMs() const {
    return ReadMs(CLOCK_MONOTONIC);
}

std::int64_t SystemClock::UtcMs() const {
    return ReadMs(CLOCK_REALTIME);
}

LocalDateTime SystemClock::ToLocal(std::int64_t utcMs) const {
    std::int64_t seconds = utcMs / 1000;
    std::int64_t ms = utcMs % 1000;
    if (ms < 0) {
        ms += 1000;
        --seconds;
    }
    const std::time_t t = static_cast<std::time_t>(seconds);
    std::tm tm{};
    localtime_r(&t, &tm);
    return LocalDateTime{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday,           tm.tm_hour,
                         tm.tm_min,         tm.tm_sec,     static_cast<int>(ms), tm.tm_wday};
}

SystemClock& SystemClock::Instance() {
    static SystemClock clock;
    return clock;
}

} // namespace orvane
