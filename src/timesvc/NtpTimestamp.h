#pragma once

#include "shell/Clock.h"

#include <cstdint>

namespace orvane {

// An NTP timestamp: seconds since 1900-01-01 00:00:00 UTC and the fraction of a second in units of 2^-32 s,
// compared and subtracted as one 64-bit number (seconds in the high half). Calendar fields are UTC.
struct NtpTimestamp {
    std::uint32_t seconds = 0;
    std::uint32_t fraction = 0;

    std::uint64_t Value() const { return (static_cast<std::uint64_t>(seconds) << 32) | fraction; }
    static NtpTimestamp FromValue(std::uint64_t value);
    bool IsZero() const { return seconds == 0 && fraction == 0; }
    bool operator==(const NtpTimestamp&) const = default;

    // ms × 2^32 ÷ 1000, rounded: 500 ms is 2147483648, 999 ms is 4290672329.
    static std::uint32_t FractionFromMs(int ms);
    // fraction × 1000 ÷ (2^32 − 1), rounded, but never 1000: the last half millisecond stays in its second.
    static int MsFromFraction(std::uint32_t fraction);

    // Milliseconds since 1970 (the injected clock's scale). The seconds field wraps in 2036; a value with
    // the top bit clear is read as the following era (2036..2104), as SNTP clients do.
    static NtpTimestamp FromUtcMs(std::int64_t utcMs);
    std::int64_t ToUtcMs() const;

    static NtpTimestamp FromCalendar(const LocalDateTime& utc);
    LocalDateTime ToCalendar() const;

    static NtpTimestamp Now(const Clock& clock) { return FromUtcMs(clock.UtcMs()); }

    // a − b in seconds, negative when a is earlier (signed, so a server behind the client does not wrap).
    static double Difference(NtpTimestamp a, NtpTimestamp b);
    // This time moved by seconds, with carry or borrow between the fields.
    NtpTimestamp Plus(double seconds) const;
};

} // namespace orvane
