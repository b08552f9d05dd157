#pragma once

#include "shell/Poster.h"
#include "timesvc/TimeSourceState.h"

#include <functional>

namespace orvane {

// Waits, as a timer rather than a loop, until the chosen source's seconds value has changed and is even,
// so that a start falls on the first instant of an even second, which the time word holds exactly. The
// source is read again when the timer fires; a timer that fires early or late just waits on.
class EvenSecondWait {
public:
    using Done = std::function<void(const StartTimeStamp&)>;

    EvenSecondWait(Poster& poster, const TimeSourceState& source) : poster_(poster), source_(source) {}
    ~EvenSecondWait() { Cancel(); }
    EvenSecondWait(const EvenSecondWait&) = delete;
    EvenSecondWait& operator=(const EvenSecondWait&) = delete;

    // Starts a wait; one already pending is dropped. done gets the reading the wait ended on.
    void Start(Done done);
    bool Pending() const { return pending_; }
    void Cancel();

private:
    void Arm();
    void Check();

    Poster& poster_;
    const TimeSourceState& source_;
    Done done_;
    StartTimeStamp previous_;
    TimerId timer_ = 0;
    bool pending_ = false;
};

} // namespace orvane
