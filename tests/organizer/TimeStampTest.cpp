#include "organizer/TimeStamp.h"

#include "support/SeriesWriter.h"
#include "support/TimeZone.h"

#include <gtest/gtest.h>
#include <memory>

namespace kettrim {
namespace {

using test::StampSource;

TimeStamp Decode(std::uint16_t source, std::uint16_t date, std::uint16_t time) {
    auto buffers = std::make_unique<SpectrumBuffers>();
    buffers->registers[16] = source;
    buffers->registers[22] = date;
    buffers->registers[23] = time;
    return DecodeTimeStamp(*buffers);
}

TimeStamp Decode(const test::Registers& registers) {
    return Decode(registers[16], registers[22], registers[23]);
}

std::uint16_t Date(int yearField, int month, int day) {
    return static_cast<std::uint16_t>(yearField << 9 | month << 5 | day);
}
std::uint16_t Time(int hours, int minutes, int secondsField) {
    return static_cast<std::uint16_t>(hours << 11 | minutes << 5 | secondsField);
}

TEST(DecodeTimeStamp, FormatsSourceDateAndTime) {
    struct Case {
        std::uint16_t source, date, time;
        const char* text;
    };
    const Case cases[] = {
        {1u << 10, Date(19, 12, 5), Time(14, 3, 11), "UTC 05-DEC-2019 14:03:22"},
        {1u << 11, Date(24, 2, 29), Time(0, 0, 0), "SYSTEM 29-FEB-2024 00:00:00"},
        {3u << 10, Date(24, 7, 1), Time(23, 59, 29), "UTC 01-JUL-2024 23:59:58"}, // UTC wins over SYSTEM
        {0x0003, Date(1, 1, 31), Time(9, 30, 0), "LOCAL 31-JAN-2001 09:30:00"},
        {0, Date(24, 15, 3), Time(1, 2, 3), "LOCAL 03-DEC-2024 01:02:06"}, // a month above 12 is December
        {1u << 10, Date(0, 9, 9), Time(13, 13, 13), "UTC 01-JAN-2000 00:00:00"}, // year field 0: no stamp
        {0, Date(0, 0, 0), Time(31, 63, 31), "LOCAL 01-JAN-2000 00:00:00"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const TimeStamp stamp = Decode(c.source, c.date, c.time);
        EXPECT_TRUE(stamp.valid);
        EXPECT_EQ(stamp.text, c.text);
    }
}

TEST(DecodeTimeStamp, FieldsOutOfRangeMakeTheStampInvalid) {
    const std::pair<std::uint16_t, std::uint16_t> invalid[] = {
        {Date(19, 0, 5), Time(1, 1, 1)},  {Date(19, 3, 0), Time(1, 1, 1)},  {Date(19, 3, 5), Time(24, 1, 1)},
        {Date(19, 3, 5), Time(1, 60, 1)}, {Date(19, 3, 5), Time(1, 1, 30)}, // 60 seconds
    };
    for (const auto& [date, time] : invalid)
        EXPECT_FALSE(Decode(0, date, time).valid) << date << " " << time;
    EXPECT_TRUE(Decode(0, Date(19, 3, 5), Time(23, 59, 29)).valid);
}

TEST(DecodeTimeStamp, UtcAndSystemIgnoreTheLocalZoneAndLocalFollowsItsDaylightSaving) {
    // Berlin moves from 02:00 CET to 03:00 CEST on 26 March 2023.
    test::TimeZone berlin("Europe/Berlin");
    struct Case {
        StampSource source;
        std::int64_t elapsed; // from 00:30 to 03:30 that day
    };
    for (const Case& c : {Case{StampSource::Utc, 3 * 3600}, Case{StampSource::System, 3 * 3600},
                          Case{StampSource::Local, 2 * 3600}}) {
        const TimeStamp before = Decode(test::StampedRegisters(c.source, 2023, 3, 26, 0, 30, 0));
        const TimeStamp after = Decode(test::StampedRegisters(c.source, 2023, 3, 26, 3, 30, 0));
        EXPECT_EQ(after.time - before.time, c.elapsed) << before.text;
    }
    EXPECT_EQ(Decode(test::StampedRegisters(StampSource::Utc, 2019, 12, 5, 14, 3, 22)).time, 1575554602);
}

} // namespace
} // namespace kettrim
