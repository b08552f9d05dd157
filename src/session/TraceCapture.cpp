#include "session/TraceCapture.h"

#include <cstring>

namespace orvane {

bool TraceCapture::Offer(const std::uint8_t* bytes) {
    if (!continuous_ && countdown_ != 1)
        return false;
    std::memcpy(trace_.data(), bytes, kTraceBytes);
    hasTrace_ = true;
    return true;
}

void TraceCapture::CountDown() {
    if (countdown_ > 0)
        --countdown_;
}

void TraceCapture::Reset() {
    continuous_ = false;
    countdown_ = 0;
    hasTrace_ = false;
    trace_.fill(0);
}

} // namespace orvane
