#include "timesvc/NtpTimestamp.h"

#include <cmath>

namespace orvane {

namespace {

constexpr std::int64_t kNtpToUnixSeconds = 2208988800; // 1900-01-01 to 1970-01-01
constexpr double kTwoTo32 = 4294967296.0;

// Days since 1970-01-01 of a proleptic Gregorian date, and back.
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const auto yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

void CivilFromDays(std::int64_t z, LocalDateTime& out) {
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const auto doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const unsigned d = doy - (153 * mp + 2) / 5 + 1;
    const unsigned m = mp < 10 ? mp + 3 : mp - 9;
    out.year = static_cast<int>(static_cast<std::int64_t>(yoe) + era * 400 + (m <= 2));
    out.month = static_cast<int>(m);
    out.day = static_cast<int>(d);
}

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)));
}

} // namespace

NtpTimestamp NtpTimestamp::FromValue(std::uint64_t value) {
    return NtpTimestamp{static_cast<std::uint32_t>(value >> 32), static_cast<std::uint32_t>(value)};
}

std::uint32_t NtpTimestamp::FractionFromMs(int ms) {
    return static_cast<std::uint32_t>((static_cast<std::uint64_t>(ms) * 4294967296ull + 500) / 1000);
}

int NtpTimestamp::MsFromFraction(std::uint32_t fraction) {
    const std::uint64_t ms = (static_cast<std::uint64_t>(fraction) * 1000 + 2147483647ull) / 4294967295ull;
    return ms > 999 ? 999 : static_cast<int>(ms);
}

NtpTimestamp NtpTimestamp::FromUtcMs(std::int64_t utcMs) {
    const std::int64_t unixSeconds = FloorDiv(utcMs, 1000);
    const int ms = static_cast<int>(utcMs - unixSeconds * 1000);
    return NtpTimestamp{static_cast<std::uint32_t>(unixSeconds + kNtpToUnixSeconds), FractionFromMs(ms)};
}

std::int64_t NtpTimestamp::ToUtcMs() const {
    std::int64_t ntpSeconds = seconds;
    if ((seconds & 0x80000000u) == 0)
        ntpSeconds += 4294967296ll;
    return (ntpSeconds - kNtpToUnixSeconds) * 1000 + MsFromFraction(fraction);
}

NtpTimestamp NtpTimestamp::FromCalendar(const LocalDateTime& utc) {
    const std::int64_t days =
        DaysFromCivil(utc.year, static_cast<unsigned>(utc.month), static_cast<unsigned>(utc.day));
    const std::int64_t unixSeconds = ((days * 24 + utc.hour) * 60 + utc.minute) * 60 + utc.second;
    return NtpTimestamp{static_cast<std::uint32_t>(unixSeconds + kNtpToUnixSeconds),
                        FractionFromMs(utc.millisecond)};
}

LocalDateTime NtpTimestamp::ToCalendar() const {
    const std::int64_t utcMs = ToUtcMs();
    const std::int64_t unixSeconds = FloorDiv(utcMs, 1000);
    const std::int64_t days = FloorDiv(unixSeconds, 86400);
    const std::int64_t secondOfDay = unixSeconds - days * 86400;
    LocalDateTime out;
    CivilFromDays(days, out);
    out.hour = static_cast<int>(secondOfDay / 3600);
    out.minute = static_cast<int>(secondOfDay / 60 % 60);
    out.second = static_cast<int>(secondOfDay % 60);
    out.millisecond = static_cast<int>(utcMs - unixSeconds * 1000);
    // 1970-01-01 was a Thursday.
    out.weekday = static_cast<int>(((days + 4) % 7 + 7) % 7);
    return out;
}

double NtpTimestamp::Difference(NtpTimestamp a, NtpTimestamp b) {
    return static_cast<double>(static_cast<std::int64_t>(a.Value() - b.Value())) / kTwoTo32;
}

NtpTimestamp NtpTimestamp::Plus(double offsetSeconds) const {
    const double magnitude = std::fabs(offsetSeconds);
    const double whole = std::floor(magnitude);
    const auto part = static_cast<std::uint64_t>(std::llround((magnitude - whole) * 4294967295.0));
    const std::uint64_t delta = (static_cast<std::uint64_t>(whole) << 32) + part;
    return FromValue(offsetSeconds < 0 ? Value() - delta : Value() + delta);
}

} // namespace orvane
