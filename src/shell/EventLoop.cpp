#include "shell/EventLoop.h"

#include <chrono>

namespace orvane {

EventLoop::EventLoop(const Clock& clock) : clock_(clock) {}

void EventLoop::Post(std::function<void()> task) {
    {
        std::lock_guard lock(mutex_);
        tasks_.push_back(std::move(task));
    }
    wake_.notify_one();
}

TimerId EventLoop::PostAfter(std::int64_t delayMs, std::function<void()> task) {
    std::lock_guard lock(mutex_);
    const TimerId id = nextId_++;
    timers_.emplace(std::make_pair(clock_.MonotonicMs() + delayMs, id), std::move(task));
    return id;
}

void EventLoop::Cancel(TimerId id) {
    std::lock_guard lock(mutex_);
    for (auto it = timers_.begin(); it != timers_.end(); ++it) {
        if (it->first.second == id) {
            timers_.erase(it);
            return;
        }
    }
}

bool EventLoop::RunOne(std::int64_t deadlineMs) {
    std::function<void()> task;
    {
        std::unique_lock lock(mutex_);
        for (;;) {
            const std::int64_t now = clock_.MonotonicMs();
            if (!tasks_.empty()) {
                task = std::move(tasks_.front());
                tasks_.pop_front();
                break;
            }
            if (!timers_.empty() && timers_.begin()->first.first <= now) {
                task = std::move(timers_.begin()->second);
                timers_.erase(timers_.begin());
                break;
            }
            std::int64_t until = deadlineMs;
            if (!timers_.empty() && timers_.begin()->first.first < until)
                until = timers_.begin()->first.first;
            if (now >= deadlineMs)
                return false;
            wake_.wait_for(lock, std::chrono::milliseconds(until - now));
        }
    }
    task();
    return true;
}

bool EventLoop::RunUntil(const std::function<bool()>& done, std::int64_t timeoutMs) {
    const std::int64_t deadline = clock_.MonotonicMs() + timeoutMs;
    while (!done()) {
        if (!RunOne(deadline))
            return done();
    }
    return true;
}

} // namespace orvane
