#pragma once

#include "shell/Poster.h"

#include <QObject>
#include <QTimer>

#include <map>

namespace orvane {

// The behaviour thread is the Qt event loop's: posts become queued invocations (in order, from any
// thread), timers single-shot QTimers.
class QtPoster : public QObject, public Poster {
    Q_OBJECT
public:
    explicit QtPoster(QObject* parent = nullptr) : QObject(parent) {}
    ~QtPoster() override;

    void Post(std::function<void()> task) override;
    TimerId PostAfter(std::int64_t delayMs, std::function<void()> task) override;
    void Cancel(TimerId id) override;

private:
    std::map<TimerId, QTimer*> timers_;
    TimerId nextId_ = 1;
};

} // namespace orvane
