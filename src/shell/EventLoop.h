#pragma once

#include "shell/Clock.h"
#include "shell/Poster.h"

#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <utility>

namespace orvane {

// A real-time behaviour loop for the programs without a window: posted tasks and timers run on the thread
// that calls Run or RunUntil.
class EventLoop : public Poster {
public:
    explicit EventLoop(const Clock& clock);

    void Post(std::function<void()> task) override;
    TimerId PostAfter(std::int64_t delayMs, std::function<void()> task) override;
    void Cancel(TimerId id) override;

    // Runs tasks and timers until done() holds (checked after every task) or timeoutMs pass.
    // Returns done()'s last answer.
    bool RunUntil(const std::function<bool()>& done, std::int64_t timeoutMs);

private:
    bool RunOne(std::int64_t deadlineMs);

    const Clock& clock_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::function<void()>> tasks_;
    // Keyed by (due time, id) so timers with the same due time fire in the order they were set.
    std::map<std::pair<std::int64_t, TimerId>, std::function<void()>> timers_;
    TimerId nextId_ = 1;
};

} // namespace orvane
