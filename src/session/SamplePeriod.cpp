#include "session/SamplePeriod.h"

namespace orvane {

double SamplePeriod::NanosecondsFor(int clockCode) {
    static constexpr double kPeriods[4] = {12.5, 10.0, 8.0, 6.25};
    return kPeriods[clockCode & 3];
}

bool SamplePeriod::Derive(std::uint16_t register15) {
    const int code = ClockCodeOf(register15);
    changed_ = code != clockCode_;
    clockCode_ = code;
    ns_ = NanosecondsFor(code);
    return changed_;
}

} // namespace orvane
