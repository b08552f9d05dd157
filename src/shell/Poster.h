#pragma once

#include <cstdint>
#include <functional>

namespace orvane {

using TimerId = std::uint64_t;

// Runs work later on the behaviour thread. The GUI backs it with queued invocations and timers, the
// command-line programs with EventLoop, the tests with a fake loop whose time only moves when told.
class Poster {
public:
    virtual ~Poster() = default;

    // The one call that may come from another thread (the serial event threads). Tasks run in the order
    // they were posted.
    virtual void Post(std::function<void()> task) = 0;

    // Behaviour thread only: runs task once when delayMs have passed on the monotonic clock.
    virtual TimerId PostAfter(std::int64_t delayMs, std::function<void()> task) = 0;

    // Behaviour thread only: a cancelled or already fired timer is ignored.
    virtual void Cancel(TimerId id) = 0;
};

} // namespace orvane
