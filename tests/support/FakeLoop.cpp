#include "support/FakeLoop.h"

#include <chrono>
#include <ctime>

namespace orvane::test {

FakeLoop::FakeLoop() {
    SetUtc(2026, 12, 9, 14, 3, 27);
}

void FakeLoop::Post(std::function<void()> task) {
    {
        std::lock_guard lock(mutex_);
        tasks_.push_back(std::move(task));
        ++postsSeen_;
    }
    arrived_.notify_all();
}

TimerId FakeLoop::PostAfter(std::int64_t delayMs, std::function<void()> task) {
    std::lock_guard lock(mutex_);
    const TimerId id = nextId_++;
    timers_.emplace(std::make_pair(now_ + delayMs, id), std::move(task));
    return id;
}

void FakeLoop::Cancel(TimerId id) {
    std::lock_guard lock(mutex_);
    for (auto it = timers_.begin(); it != timers_.end(); ++it) {
        if (it->first.second == id) {
            timers_.erase(it);
            return;
        }
    }
}

LocalDateTime FakeLoop::ToLocal(std::int64_t utcMs) const {
    const std::time_t t = static_cast<std::time_t>(utcMs / 1000);
    std::tm tm{};
    gmtime_r(&t, &tm);
    return LocalDateTime{tm.tm_year + 1900,
                         tm.tm_mon + 1,
                         tm.tm_mday,
                         tm.tm_hour,
                         tm.tm_min,
                         tm.tm_sec,
                         static_cast<int>(utcMs % 1000),
                         tm.tm_wday};
}

void FakeLoop::SetUtc(int year, int month, int day, int hour, int minute, int second, int ms) {
    std::tm tm{};
    tm.tm_year = year - 1900;
    tm.tm_mon = month - 1;
    tm.tm_mday = day;
    tm.tm_hour = hour;
    tm.tm_min = minute;
    tm.tm_sec = second;
    utcAtZero_ = static_cast<std::int64_t>(timegm(&tm)) * 1000 + ms - now_;
}

int FakeLoop::RunPending() {
    int ran = 0;
    for (;;) {
        std::function<void()> task;
        {
            std::lock_guard lock(mutex_);
            if (tasks_.empty())
                return ran;
            task = std::move(tasks_.front());
            tasks_.pop_front();
        }
        task();
        ++ran;
    }
}

void FakeLoop::Advance(std::int64_t ms) {
    const std::int64_t end = now_ + ms;
    RunPending();
    for (;;) {
        std::function<void()> task;
        {
            std::lock_guard lock(mutex_);
            if (timers_.empty() || timers_.begin()->first.first > end)
                break;
            now_ = std::max(now_.load(), timers_.begin()->first.first);
            task = std::move(timers_.begin()->second);
            timers_.erase(timers_.begin());
        }
        task();
        RunPending();
    }
    now_ = end;
    RunPending();
}

bool FakeLoop::RunUntil(const std::function<bool()>& done, int realTimeoutMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(realTimeoutMs);
    for (;;) {
        RunPending();
        if (done())
            return true;
        // Conditions may also change on other threads without a post (the simulated instrument's
        // counters), so look again every millisecond.
        if (std::chrono::steady_clock::now() >= deadline)
            return done();
        std::unique_lock lock(mutex_);
        arrived_.wait_for(lock, std::chrono::milliseconds(1), [this] { return !tasks_.empty(); });
    }
}

void FakeLoop::RunFor(int realMs) {
    RunUntil([] { return false; }, realMs);
}

int FakeLoop::PostsSeen() const {
    std::lock_guard lock(mutex_);
    return postsSeen_;
}

} // namespace orvane::test
