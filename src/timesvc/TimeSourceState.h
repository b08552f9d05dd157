#pragma once

#include "session/RegisterImage.h"
#include "shell/Clock.h"

#include <cstdint>
#include <string>

namespace orvane {

enum class TimeSource { Utc, System, Local };

// A start time read from the chosen source: calendar fields in UTC for UTC and SYSTEM, local for LOCAL.
struct StartTimeStamp {
    TimeSource source = TimeSource::System;
    LocalDateTime time;

    // "%02d/%02d/%04d  %02d:%02d:%02d": day, month, year, hours, minutes, seconds.
    std::string Text() const;
    std::uint16_t DateWord() const;
    std::uint16_t TimeWord() const;
};

// Which clock stamps the measurement starts, kept by the main frame for the program's life. SYSTEM is the
// computer's UTC clock, UTC the same corrected by the offset the last successful server query measured,
// LOCAL the computer's clock in the system's time zone at stamp time.
class TimeSourceState {
public:
    // A UTC correction older than this is measured again before a start.
    static constexpr std::int64_t kUtcChoiceLifetimeMs = 300000;

    explicit TimeSourceState(const Clock& clock) : clock_(clock) {}

    TimeSource Source() const { return source_; }
    double Correction() const { return correction_; }
    // "START TIME: UTC", "START TIME: SYSTEM" or "START TIME: LOCAL".
    const char* Caption() const;
    static const char* CaptionOf(TimeSource source);

    // Set at program start and by every Connect: the next start asks for the source first.
    void RequireChoice() { askBeforeStart_ = true; }
    bool AskBeforeStart() const { return askBeforeStart_; }
    // The dialog's choice. The correction counts for UTC only.
    void Choose(TimeSource source, double utcCorrection = 0.0);
    // True when a start must run the time-stamp dialog first: a choice is pending, or the UTC correction
    // is more than five minutes old. The age runs on the monotonic clock, so setting the system clock
    // neither renews nor ages a choice.
    bool ChoiceDueBeforeStart() const;

    // The source's time now.
    StartTimeStamp Read() const;
    const Clock& SourceClock() const { return clock_; }

    // A manual start's stamp: register 16 bit 10 for UTC, bit 11 for SYSTEM, neither for LOCAL; the date
    // and time words in registers 22 and 23.
    static void WriteStartStamp(RegisterImage& image, const StartTimeStamp& stamp);

private:
    const Clock& clock_;
    TimeSource source_ = TimeSource::System;
    double correction_ = 0.0;
    bool askBeforeStart_ = true;
    std::int64_t choiceMonotonicMs_ = 0;
};

} // namespace orvane
