#include "timesvc/NtpTimestamp.h"

#include <gtest/gtest.h>

namespace orvane {
namespace {

TEST(NtpTimestamp, FractionsConvertBothWaysAndNeverReach1000Ms) {
    const struct {
        int ms;
        std::uint32_t fraction;
    } cases[] = {{0, 0u}, {1, 4294967u}, {500, 2147483648u}, {999, 4290672329u}};
    for (const auto& c : cases) {
        EXPECT_EQ(NtpTimestamp::FractionFromMs(c.ms), c.fraction) << c.ms;
        EXPECT_EQ(NtpTimestamp::MsFromFraction(c.fraction), c.ms) << c.ms;
    }
    for (int ms = 0; ms < 1000; ++ms)
        ASSERT_EQ(NtpTimestamp::MsFromFraction(NtpTimestamp::FractionFromMs(ms)), ms);
    // The last half millisecond of a second would round to 1000.
    EXPECT_EQ(NtpTimestamp::MsFromFraction(0xFFFFFFFFu), 999);
    const NtpTimestamp lastInstant{NtpTimestamp::FromCalendar({2026, 12, 9, 14, 3, 27, 0, 3}).seconds,
                                   0xFFFFFFFFu};
    EXPECT_EQ(lastInstant.ToCalendar().second, 27);
    EXPECT_EQ(lastInstant.ToCalendar().millisecond, 999);
}

TEST(NtpTimestamp, CalendarConversions) {
    const struct {
        LocalDateTime utc;
        std::uint32_t seconds;
    } cases[] = {
        {{1900, 1, 1, 0, 0, 0, 0, 1}, 0u},                // a Monday; read back in the next era, see below
        {{1970, 1, 1, 0, 0, 0, 0, 4}, 2208988800u},       // a Thursday
        {{2000, 1, 1, 0, 0, 0, 0, 6}, 3155673600u},       // a Saturday
        {{2024, 2, 29, 23, 59, 59, 999, 4}, 3918239999u}, // a leap day
        {{2036, 2, 7, 6, 28, 15, 500, 4}, 4294967295u},   // the last second of the first era
    };
    for (const auto& c : cases) {
        const NtpTimestamp t = NtpTimestamp::FromCalendar(c.utc);
        EXPECT_EQ(t.seconds, c.seconds) << c.utc.year;
        EXPECT_EQ(t.fraction, NtpTimestamp::FractionFromMs(c.utc.millisecond));
        if (c.seconds == 0)
            continue;
        const LocalDateTime back = t.ToCalendar();
        EXPECT_EQ(back.year, c.utc.year);
        EXPECT_EQ(back.month, c.utc.month);
        EXPECT_EQ(back.day, c.utc.day);
        EXPECT_EQ(back.hour, c.utc.hour);
        EXPECT_EQ(back.minute, c.utc.minute);
        EXPECT_EQ(back.second, c.utc.second);
        EXPECT_EQ(back.millisecond, c.utc.millisecond);
        EXPECT_EQ(back.weekday, c.utc.weekday);
    }
    // Seconds with the top bit clear belong to the era that starts in 2036.
    const LocalDateTime wrapped = NtpTimestamp{1u, 0u}.ToCalendar();
    EXPECT_EQ(wrapped.year, 2036);
    EXPECT_EQ(wrapped.second, 17);
    EXPECT_EQ(NtpTimestamp::FromUtcMs(-1).ToUtcMs(), -1);
    EXPECT_EQ(NtpTimestamp::FromUtcMs(1765458000123).ToUtcMs(), 1765458000123);
}

TEST(NtpTimestamp, AddingCarriesAndBorrowsAndDifferencesAreSigned) {
    const NtpTimestamp whole{3900000000u, 0u};
    const NtpTimestamp earlier = whole.Plus(-0.25);
    EXPECT_EQ(earlier.seconds, 3899999999u);
    EXPECT_EQ(earlier.fraction, 3221225472u);
    EXPECT_EQ(NtpTimestamp::MsFromFraction(earlier.fraction), 750);

    const NtpTimestamp later = NtpTimestamp{3900000000u, 2147483648u}.Plus(1.75);
    EXPECT_EQ(later.seconds, 3900000002u);
    EXPECT_EQ(NtpTimestamp::MsFromFraction(later.fraction), 250);

    EXPECT_DOUBLE_EQ(NtpTimestamp::Difference(whole, earlier), 0.25);
    // A server behind the client gives a negative difference, not a wrapped one.
    EXPECT_DOUBLE_EQ(NtpTimestamp::Difference(earlier, whole), -0.25);
    EXPECT_NEAR(NtpTimestamp::Difference(whole.Plus(-3600.0), whole), -3600.0, 1e-9);
    // Across the 2036 wrap of the seconds field.
    const NtpTimestamp lastSecond{0xFFFFFFFFu, 0u};
    EXPECT_EQ(lastSecond.Plus(10.0).seconds, 9u);
    EXPECT_DOUBLE_EQ(NtpTimestamp::Difference(lastSecond.Plus(10.0), lastSecond), 10.0);
}

} // namespace
} // namespace orvane
