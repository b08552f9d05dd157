#pragma once

#include <QDBusConnection>
#include <QDBusUnixFileDescriptor>
#include <QObject>

#include <functional>

namespace orvane {

// Suspend and resume of the computer, as logind announces them with PrepareForSleep on the system bus.
// While it watches, it holds a delay lock so that the suspend callback has run before the system sleeps;
// the lock is released after the callback and taken again on resume. Without a bus or without logind it
// does nothing.
class LogindSleepWatcher : public QObject {
    Q_OBJECT
public:
    LogindSleepWatcher(std::function<void()> onSuspend, std::function<void()> onResume,
                       QObject* parent = nullptr);
    // The same on another bus (tests run a private one).
    LogindSleepWatcher(const QDBusConnection& bus, std::function<void()> onSuspend,
                       std::function<void()> onResume, QObject* parent = nullptr);

    bool Watching() const { return watching_; }
    bool HoldsDelayLock() const { return lock_.isValid(); }

public slots:
    // true: the system is about to sleep; false: it has woken up.
    void OnPrepareForSleep(bool sleeping);

signals:
    void delayLockChanged();

private:
    void TakeDelayLock();

    QDBusConnection bus_;
    std::function<void()> onSuspend_;
    std::function<void()> onResume_;
    bool watching_ = false;
    QDBusUnixFileDescriptor lock_;
};

} // namespace orvane
