#pragma once

#include "organizer/SpectrumBuffers.h"

#include <cstdint>
#include <string>

namespace kettrim {

// The start stamp the analyzer stores in register words 16 (bit 10 UTC, bit 11 SYSTEM, else LOCAL),
// 22 (day, month, year - 2000) and 23 (seconds / 2, minutes, hours).
struct TimeStamp {
    std::string text;      // "UTC 05-DEC-2019 14:03:22"
    std::int64_t time = 0; // calendar time in seconds
    bool valid = true;     // false when month or day is 0, or hours, minutes or seconds are out of range
};

// A year field of 0 stands for 1 January 2000 00:00:00. UTC and SYSTEM stamps are UTC, so they convert
// without the local time zone; LOCAL stamps convert as local time with the system's daylight saving.
TimeStamp DecodeTimeStamp(const SpectrumBuffers& buffers);

} // namespace kettrim
