#include "shell/ui/QtPoster.h"

namespace orvane {

QtPoster::~QtPoster() {
    for (auto& [id, timer] : timers_)
        timer->stop();
}

void QtPoster::Post(std::function<void()> task) {
    QMetaObject::invokeMethod(
        this, [task = std::move(task)] { task(); }, Qt::QueuedConnection);
}

TimerId QtPoster::PostAfter(std::int64_t delayMs, std::function<void()> task) {
    const TimerId id = nextId_++;
    auto* timer = new QTimer(this);
    timer->setSingleShot(true);
    timer->setTimerType(Qt::PreciseTimer);
    connect(timer, &QTimer::timeout, this, [this, id, task = std::move(task)] {
        const auto it = timers_.find(id);
        if (it == timers_.end())
            return;
        it->second->deleteLater();
        timers_.erase(it);
        task();
    });
    timers_.emplace(id, timer);
    timer->start(static_cast<int>(std::max<std::int64_t>(0, delayMs)));
    return id;
}

void QtPoster::Cancel(TimerId id) {
    const auto it = timers_.find(id);
    if (it == timers_.end())
        return;
    it->second->stop();
    it->second->deleteLater();
    timers_.erase(it);
}

} // namespace orvane
