#include "organizer/TimeStamp.h"

#include <cstdio>
#include <ctime>

namespace kettrim {
namespace {

constexpr int kRunControlWord = 16;
constexpr int kDateWord = 22;
constexpr int kTimeWord = 23;
constexpr unsigned kUtcBit = 1u << 10;
constexpr unsigned kSystemBit = 1u << 11;

const char* const kMonthNames[] = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                   "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};

struct Fields {
    int year = 2000, month = 1, day = 1, hours = 0, minutes = 0, seconds = 0;
};

Fields FieldsOf(unsigned date, unsigned time) {
    Fields f;
    if ((date >> 9) == 0)
        return f; // no stamp: 1 January 2000, whatever the other fields hold
    f.year = 2000 + static_cast<int>(date >> 9);
    f.month = static_cast<int>(date >> 5 & 0x0F);
    if (f.month > 12)
        f.month = 12;
    f.day = static_cast<int>(date & 0x1F);
    f.hours = static_cast<int>(time >> 11);
    f.minutes = static_cast<int>(time >> 5 & 0x3F);
    f.seconds = static_cast<int>(time & 0x1F) * 2;
    return f;
}

bool InRange(const Fields& f) {
    return f.month >= 1 && f.day >= 1 && f.hours <= 23 && f.minutes <= 59 && f.seconds <= 59;
}

std::int64_t CalendarTime(const Fields& f, bool local) {
    std::tm tm{};
    tm.tm_year = f.year - 1900;
    tm.tm_mon = f.month - 1;
    tm.tm_mday = f.day;
    tm.tm_hour = f.hours;
    tm.tm_min = f.minutes;
    tm.tm_sec = f.seconds;
    tm.tm_isdst = -1;
    return static_cast<std::int64_t>(local ? std::mktime(&tm) : timegm(&tm));
}

} // namespace

TimeStamp DecodeTimeStamp(const SpectrumBuffers& buffers) {
    const unsigned source = buffers.registers[kRunControlWord];
    const Fields f = FieldsOf(buffers.registers[kDateWord], buffers.registers[kTimeWord]);
    const char* sourceText = (source & kUtcBit) ? "UTC " : (source & kSystemBit) ? "SYSTEM " : "LOCAL ";

    TimeStamp stamp;
    stamp.valid = InRange(f);
    char text[64];
    std::snprintf(text, sizeof text, "%s%02d-%s-%02d %02d:%02d:%02d", sourceText, f.day,
                  f.month >= 1 ? kMonthNames[f.month - 1] : "???", f.year, f.hours, f.minutes, f.seconds);
    stamp.text = text;
    if (stamp.valid)
        stamp.time = CalendarTime(f, (source & (kUtcBit | kSystemBit)) == 0);
    return stamp;
}

} // namespace kettrim
