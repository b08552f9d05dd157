#pragma once

#include <QDBusConnection>
#include <QDBusUnixFileDescriptor>
#include <QObject>

#include <functional>

namespace orvane {

// Suspend and resume of the computer, as logind announces them with PrepareForSleep on the system bus.
// While it watches, it holds a delay lock so the system does not sleep before the program has let go of
// its instrument: the suspend handler gets a `ready` function to call once that is done (releasing the
// device takes a moment), and the lock is taken again on resume. logind itself bounds how long it waits.
// Without a bus or without logind it does nothing.
class LogindSleepWatcher : public QObject {
    Q_OBJECT
public:
    using SuspendHandler = std::function<void(std::function<void()> ready)>;

    LogindSleepWatcher(SuspendHandler onSuspend, std::function<void()> onResume, QObject* parent = nullptr);
    // The same on another bus (tests run a private one).
    LogindSleepWatcher(const QDBusConnection& bus, SuspendHandler onSuspend, std::function<void()> onResume,
                       QObject* parent = nullptr);

    bool Watching() const { return watching_; }
    bool HoldsDelayLock() const { return lock_.isValid(); }

public slots:
    // true: the system is about to sleep; false: it has woken up.
    void OnPrepareForSleep(bool sleeping);

signals:
    void delayLockChanged();

private:
    void TakeDelayLock();
    void ReleaseDelayLock();

    QDBusConnection bus_;
    SuspendHandler onSuspend_;
    std::function<void()> onResume_;
    bool watching_ = false;
    // Counts sleeps and wake-ups, so a late `ready` from an earlier sleep releases nothing.
    unsigned transitions_ = 0;
    QDBusUnixFileDescriptor lock_;
};

} // namespace orvane
