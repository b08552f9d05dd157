#include "timesvc/TimeSourceState.h"

#include "session/ParameterMap.h"
#include "timesvc/NtpTimestamp.h"

#include <cstdio>

namespace orvane {

namespace {
constexpr int kUtcBit = 10;
constexpr int kSystemBit = 11;
} // namespace

std::string StartTimeStamp::Text() const {
    char text[40];
    std::snprintf(text, sizeof text, "%02d/%02d/%04d  %02d:%02d:%02d", time.day, time.month, time.year,
                  time.hour, time.minute, time.second);
    return text;
}

std::uint16_t StartTimeStamp::DateWord() const {
    return EncodeDateWord(time.year, time.month, time.day);
}

std::uint16_t StartTimeStamp::TimeWord() const {
    return EncodeTimeWord(time.hour, time.minute, time.second);
}

const char* TimeSourceState::CaptionOf(TimeSource source) {
    switch (source) {
    case TimeSource::Utc:
        return "START TIME: UTC";
    case TimeSource::Local:
        return "START TIME: LOCAL";
    case TimeSource::System:
        break;
    }
    return "START TIME: SYSTEM";
}

const char* TimeSourceState::Caption() const {
    return CaptionOf(source_);
}

void TimeSourceState::Choose(TimeSource source, double utcCorrection) {
    source_ = source;
    correction_ = source == TimeSource::Utc ? utcCorrection : 0.0;
    choiceMonotonicMs_ = clock_.MonotonicMs();
    askBeforeStart_ = false;
}

bool TimeSourceState::ChoiceDueBeforeStart() const {
    if (askBeforeStart_)
        return true;
    return source_ == TimeSource::Utc && clock_.MonotonicMs() - choiceMonotonicMs_ > kUtcChoiceLifetimeMs;
}

StartTimeStamp TimeSourceState::Read() const {
    const NtpTimestamp now = NtpTimestamp::Now(clock_).Plus(correction_);
    StartTimeStamp stamp;
    stamp.source = source_;
    stamp.time = source_ == TimeSource::Local ? clock_.ToLocal(now.ToUtcMs()) : now.ToCalendar();
    return stamp;
}

void TimeSourceState::WriteStartStamp(RegisterImage& image, const StartTimeStamp& stamp) {
    image.SetBit(reg::kControl, kUtcBit, stamp.source == TimeSource::Utc);
    image.SetBit(reg::kControl, kSystemBit, stamp.source == TimeSource::System);
    image.Set(reg::kStartDate, stamp.DateWord());
    image.Set(reg::kStartTime, stamp.TimeWord());
}

} // namespace orvane
