#pragma once

#include "shell/Clock.h"
#include "shell/Poster.h"

#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <mutex>

namespace orvane::test {

// Poster and clock for tests: time moves only when Advance says so, so a 4.6 s time-out costs nothing.
// Posts from other threads (the serial event threads) queue up until the test runs them.
class FakeLoop : public Poster, public Clock {
public:
    FakeLoop();

    void Post(std::function<void()> task) override;
    TimerId PostAfter(std::int64_t delayMs, std::function<void()> task) override;
    void Cancel(TimerId id) override;

    std::int64_t MonotonicMs() const override { return now_; }
    std::int64_t UtcMs() const override { return utcAtZero_ + now_; }
    // Local time is UTC here, so expectations do not depend on the machine's zone.
    LocalDateTime ToLocal(std::int64_t utcMs) const override;

    void SetUtc(int year, int month, int day, int hour, int minute, int second, int ms = 0);

    // Runs the tasks posted so far (and those they post). Returns how many ran.
    int RunPending();
    // Moves the clock forward, firing due timers in order and running posted tasks between them.
    void Advance(std::int64_t ms);
    // Waits in real time, running posts as they come, until done() holds; false after realTimeoutMs.
    bool RunUntil(const std::function<bool()>& done, int realTimeoutMs = 5000);
    // Runs whatever arrives during realMs of real time.
    void RunFor(int realMs);

    int PostsSeen() const;

private:
    std::atomic<std::int64_t> now_{0}; // the simulated instrument reads it from its own thread
    std::int64_t utcAtZero_ = 0;
    mutable std::mutex mutex_;
    std::condition_variable arrived_;
    std::deque<std::function<void()>> tasks_;
    std::map<std::pair<std::int64_t, TimerId>, std::function<void()>> timers_;
    TimerId nextId_ = 1;
    int postsSeen_ = 0;
};

} // namespace orvane::test
