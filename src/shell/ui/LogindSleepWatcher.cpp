#include "shell/ui/LogindSleepWatcher.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QPointer>

namespace orvane {

namespace {

const QString kService = QStringLiteral("org.freedesktop.login1");
const QString kPath = QStringLiteral("/org/freedesktop/login1");
const QString kInterface = QStringLiteral("org.freedesktop.login1.Manager");

} // namespace

LogindSleepWatcher::LogindSleepWatcher(SuspendHandler onSuspend, std::function<void()> onResume,
                                       QObject* parent)
    : LogindSleepWatcher(QDBusConnection::systemBus(), std::move(onSuspend), std::move(onResume), parent) {}

LogindSleepWatcher::LogindSleepWatcher(const QDBusConnection& bus, SuspendHandler onSuspend,
                                       std::function<void()> onResume, QObject* parent)
    : QObject(parent), bus_(bus), onSuspend_(std::move(onSuspend)), onResume_(std::move(onResume)) {
    if (!bus_.isConnected())
        return;
    watching_ = bus_.connect(kService, kPath, kInterface, QStringLiteral("PrepareForSleep"), this,
                             SLOT(OnPrepareForSleep(bool)));
    if (watching_)
        TakeDelayLock();
}

void LogindSleepWatcher::TakeDelayLock() {
    const QDBusConnectionInterface* names = bus_.interface();
    if (names == nullptr || !names->isServiceRegistered(kService))
        return;
    QDBusMessage call =
        QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("Inhibit"));
    call << QStringLiteral("sleep") << QStringLiteral("Orvane-MCA")
         << QStringLiteral("Releasing the instrument before the system sleeps") << QStringLiteral("delay");
    // Asked without waiting: the window must not stall on a slow bus.
    auto* pending = new QDBusPendingCallWatcher(bus_.asyncCall(call), this);
    connect(pending, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* w) {
        const QDBusPendingReply<QDBusUnixFileDescriptor> reply = *w;
        if (!reply.isError())
            lock_ = reply.value();
        w->deleteLater();
        emit delayLockChanged();
    });
}

void LogindSleepWatcher::ReleaseDelayLock() {
    // Letting go of the lock tells logind we are ready.
    lock_ = QDBusUnixFileDescriptor();
    emit delayLockChanged();
}

void LogindSleepWatcher::OnPrepareForSleep(bool sleeping) {
    const unsigned transition = ++transitions_;
    if (!sleeping) {
        if (onResume_)
            onResume_();
        TakeDelayLock();
        return;
    }
    if (!onSuspend_) {
        ReleaseDelayLock();
        return;
    }
    QPointer<LogindSleepWatcher> self(this);
    onSuspend_([self, transition] {
        if (self && self->transitions_ == transition)
            self->ReleaseDelayLock();
    });
}

} // namespace orvane
