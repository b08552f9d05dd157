#include "timesvc/TimeSourceState.h"

#include "session/ParameterMap.h"
#include "support/FakeLoop.h"
#include "timesvc/EvenSecondWait.h"

#include <gtest/gtest.h>

#include <optional>

namespace orvane {
namespace {

// The fake loop's clock seen from a time zone east of UTC, with a step of the UTC clock on demand.
class ZoneClock : public Clock {
public:
    ZoneClock(const test::FakeLoop& loop, int zoneMinutes) : loop_(loop), zoneMs_(zoneMinutes * 60000ll) {}
    std::int64_t MonotonicMs() const override { return loop_.MonotonicMs(); }
    std::int64_t UtcMs() const override { return loop_.UtcMs() + stepMs; }
    LocalDateTime ToLocal(std::int64_t utcMs) const override { return loop_.ToLocal(utcMs + zoneMs_); }

    std::int64_t stepMs = 0;

private:
    const test::FakeLoop& loop_;
    std::int64_t zoneMs_;
};

TEST(TimeSourceState, AsksBeforeTheFirstStartAfterEveryConnectAndForAStaleUtcChoice) {
    test::FakeLoop loop;
    TimeSourceState state(loop);
    EXPECT_EQ(state.Source(), TimeSource::System);
    EXPECT_STREQ(state.Caption(), "START TIME: SYSTEM");
    EXPECT_TRUE(state.ChoiceDueBeforeStart());

    state.Choose(TimeSource::System, 4.0);
    EXPECT_FALSE(state.ChoiceDueBeforeStart());
    EXPECT_EQ(state.Correction(), 0.0) << "only UTC is corrected";
    loop.Advance(24 * 3600 * 1000);
    EXPECT_FALSE(state.ChoiceDueBeforeStart()) << "SYSTEM and LOCAL never go stale";
    state.RequireChoice(); // Connect
    EXPECT_TRUE(state.ChoiceDueBeforeStart());

    state.Choose(TimeSource::Utc, 1.5);
    EXPECT_STREQ(state.Caption(), "START TIME: UTC");
    loop.Advance(300000);
    EXPECT_FALSE(state.ChoiceDueBeforeStart()) << "five minutes exactly is still fresh";
    loop.Advance(60000);
    EXPECT_TRUE(state.ChoiceDueBeforeStart()) << "six minutes after choosing UTC";
    state.Choose(TimeSource::Utc, 0.25);
    EXPECT_FALSE(state.ChoiceDueBeforeStart());
    EXPECT_EQ(state.Correction(), 0.25) << "the new offset is used";

    state.Choose(TimeSource::Local);
    EXPECT_STREQ(state.Caption(), "START TIME: LOCAL");
}

struct StampCase {
    const char* name;
    TimeSource source;
    double correction;
    int zoneMinutes;
    int day, hour, minute, second, ms; // UTC on 2026-12-<day> when START is pressed
    std::int64_t waitMs;
    const char* text;
    bool utcBit, systemBit;
};

TEST(EvenSecondWait, StampsTheFirstInstantOfTheNextEvenSecondOfTheSource) {
    const StampCase cases[] = {
        {"local, two hours east", TimeSource::Local, 0.0, 120, 9, 10, 15, 3, 0, 1000, "09/12/2026  12:15:04",
         false, false},
        {"utc corrected by +1.5 s", TimeSource::Utc, 1.5, 0, 9, 10, 15, 3, 0, 1500, "09/12/2026  10:15:06",
         true, false},
        {"on an even second waits for the next", TimeSource::System, 0.0, 0, 9, 10, 15, 2, 0, 2000,
         "09/12/2026  10:15:04", false, true},
        {"utc behind by 0.25 s", TimeSource::Utc, -0.25, 0, 9, 10, 15, 4, 100, 150, "09/12/2026  10:15:04",
         true, false},
        {"over the new year", TimeSource::System, 0.0, 0, 31, 23, 59, 59, 400, 600, "01/01/2027  00:00:00",
         false, true},
    };
    for (const StampCase& c : cases) {
        SCOPED_TRACE(c.name);
        test::FakeLoop loop;
        loop.SetUtc(2026, 12, c.day, c.hour, c.minute, c.second, c.ms);
        const ZoneClock clock(loop, c.zoneMinutes);
        TimeSourceState state(clock);
        state.Choose(c.source, c.correction);
        EvenSecondWait wait(loop, state);
        std::optional<StartTimeStamp> stamp;
        const std::int64_t started = loop.MonotonicMs();
        wait.Start([&](const StartTimeStamp& s) { stamp = s; });
        loop.Advance(c.waitMs - 1);
        EXPECT_FALSE(stamp.has_value());
        EXPECT_TRUE(wait.Pending());
        loop.Advance(1);
        ASSERT_TRUE(stamp.has_value());
        EXPECT_FALSE(wait.Pending());
        EXPECT_EQ(loop.MonotonicMs() - started, c.waitMs);
        EXPECT_EQ(stamp->Text(), c.text);
        EXPECT_EQ(stamp->time.millisecond, 0);

        RegisterImage image;
        image.Set(reg::kControl, 0x0C0B); // both stamp bits and some run bits set
        TimeSourceState::WriteStartStamp(image, *stamp);
        EXPECT_EQ(image.Bit(reg::kControl, 10), c.utcBit);
        EXPECT_EQ(image.Bit(reg::kControl, 11), c.systemBit);
        EXPECT_EQ(image.Get(reg::kControl) & 0xF3FF, 0x000B) << "the other bits stay";
        const StartStamp decoded = DecodeStamp(image.Get(reg::kStartDate), image.Get(reg::kStartTime));
        EXPECT_EQ(decoded.year, stamp->time.year);
        EXPECT_EQ(decoded.month, stamp->time.month);
        EXPECT_EQ(decoded.day, stamp->time.day);
        EXPECT_EQ(decoded.hour, stamp->time.hour);
        EXPECT_EQ(decoded.minute, stamp->time.minute);
        EXPECT_EQ(decoded.second, stamp->time.second) << "an even second survives the time word exactly";
    }
}

TEST(EvenSecondWait, ReadsAgainWhenTheClockMovedAndCanBeCancelled) {
    test::FakeLoop loop;
    loop.SetUtc(2026, 12, 9, 10, 15, 3, 0);
    ZoneClock clock(loop, 0);
    TimeSourceState state(clock);
    state.Choose(TimeSource::System);
    EvenSecondWait wait(loop, state);
    std::optional<StartTimeStamp> stamp;
    wait.Start([&](const StartTimeStamp& s) { stamp = s; });
    clock.stepMs = -3; // the clock was slewed back: the timer fires at 10:15:03.997
    loop.Advance(1000);
    EXPECT_FALSE(stamp.has_value());
    loop.Advance(3);
    ASSERT_TRUE(stamp.has_value());
    EXPECT_EQ(stamp->Text(), "09/12/2026  10:15:04");

    int calls = 0;
    wait.Start([&](const StartTimeStamp&) { ++calls; });
    wait.Start([&](const StartTimeStamp&) { calls += 10; }); // replaces the first
    loop.Advance(2000);
    EXPECT_EQ(calls, 10);
    wait.Start([&](const StartTimeStamp&) { ++calls; });
    wait.Cancel();
    loop.Advance(5000);
    EXPECT_EQ(calls, 10);
}

} // namespace
} // namespace orvane
