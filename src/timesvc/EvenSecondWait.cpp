#include "timesvc/EvenSecondWait.h"

namespace orvane {

void EvenSecondWait::Start(Done done) {
    Cancel();
    done_ = std::move(done);
    pending_ = true;
    previous_ = source_.Read();
    Arm();
}

void EvenSecondWait::Cancel() {
    if (pending_)
        poster_.Cancel(timer_);
    pending_ = false;
    done_ = nullptr;
}

void EvenSecondWait::Arm() {
    // Up to the next second, and one more when that second is odd.
    const bool nextIsEven = (previous_.time.second + 1) % 60 % 2 == 0;
    const std::int64_t delay = 1000 - previous_.time.millisecond + (nextIsEven ? 0 : 1000);
    timer_ = poster_.PostAfter(delay, [this] { Check(); });
}

void EvenSecondWait::Check() {
    const StartTimeStamp reading = source_.Read();
    if (reading.time.second == previous_.time.second || reading.time.second % 2 != 0) {
        previous_ = reading;
        Arm();
        return;
    }
    Done done = std::move(done_);
    pending_ = false;
    done_ = nullptr;
    if (done)
        done(reading);
}

} // namespace orvane
