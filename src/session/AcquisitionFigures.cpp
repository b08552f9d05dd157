#include "session/AcquisitionFigures.h"

#include "session/ParameterMap.h"
#include "session/SamplePeriod.h"

#include <cstdio>

namespace orvane {

std::string StartLabel(const RegisterImage& image) {
    if (image.Bit(reg::kControl, 10))
        return "START TIME: UTC";
    if (image.Bit(reg::kControl, 11))
        return "START TIME: SYSTEM";
    return "START TIME: LOCAL";
}

std::string StartText(const RegisterImage& image) {
    const std::uint16_t date = image.Get(reg::kStartDate);
    if (!RunStarted(date))
        return "WAITING FOR START";
    const StartStamp s = DecodeStamp(date, image.Get(reg::kStartTime));
    char text[64];
    std::snprintf(text, sizeof text, "%02d/%02d/%04d  %02d:%02d:%02d", s.day, s.month, s.year, s.hour,
                  s.minute, s.second);
    return text;
}

AcquisitionFigures ComputeAcquisitionFigures(const RegisterImage& image) {
    const double periodUs =
        SamplePeriod::NanosecondsFor(SamplePeriod::ClockCodeOf(image.Get(reg::kPlatform))) / 1000.0;
    AcquisitionFigures f;
    f.realSeconds = RealTimeSeconds(image, periodUs);
    f.liveSeconds = LiveTimeSeconds(image, periodUs);
    f.deadPercent = DeadTimePercent(f.realSeconds, f.liveSeconds);
    f.startText = StartText(image);
    f.startLabel = StartLabel(image);
    return f;
}

} // namespace orvane
