// Suspend and resume over a private message bus on which the test plays logind.
#include "shell/ui/LogindSleepWatcher.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>
#include <gtest/gtest.h>

#include <unistd.h>

#include <functional>
#include <string>
#include <vector>

namespace orvane {

// logind's manager object, as far as the watcher uses it: Inhibit hands out the read end of a pipe.
class FakeLogind : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.login1.Manager")
public:
    int inhibits = 0;
    QString what, mode;

public slots:
    QDBusUnixFileDescriptor Inhibit(const QString& w, const QString&, const QString&, const QString& m) {
        ++inhibits;
        what = w;
        mode = m;
        int fds[2];
        if (pipe(fds) != 0)
            return {};
        QDBusUnixFileDescriptor fd(fds[0]); // duplicates
        close(fds[0]);
        close(fds[1]);
        return fd;
    }
};

namespace {

void SpinUntil(const std::function<bool()>& done, int ms = 5000) {
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

void SendPrepareForSleep(QDBusConnection& bus, bool sleeping) {
    QDBusMessage signal = QDBusMessage::createSignal("/org/freedesktop/login1",
                                                     "org.freedesktop.login1.Manager", "PrepareForSleep");
    signal << sleeping;
    bus.send(signal);
}

class PrivateBus : public testing::Test {
protected:
    void SetUp() override {
        if (QStandardPaths::findExecutable("dbus-daemon").isEmpty())
            GTEST_SKIP() << "dbus-daemon is not installed: the private-bus cases are skipped";
        daemon.start("dbus-daemon", {"--session", "--nofork", "--print-address"});
        ASSERT_TRUE(daemon.waitForStarted());
        ASSERT_TRUE(daemon.waitForReadyRead(10000));
        address = QString::fromUtf8(daemon.readLine()).trimmed();
        ASSERT_FALSE(address.isEmpty());
    }
    void TearDown() override {
        for (const QString& name : names)
            QDBusConnection::disconnectFromBus(name);
        if (daemon.state() != QProcess::NotRunning) {
            daemon.kill();
            daemon.waitForFinished();
        }
    }
    QDBusConnection Connect(const QString& name) {
        names.push_back(name);
        return QDBusConnection::connectToBus(address, name);
    }

    QProcess daemon;
    QString address;
    std::vector<QString> names;
};

TEST_F(PrivateBus, SuspendAndResumeReachTheCallbacksWithTheDelayLockAroundThem) {
    QDBusConnection logindBus = Connect("logind");
    FakeLogind logind;
    ASSERT_TRUE(logindBus.registerService("org.freedesktop.login1"));
    ASSERT_TRUE(
        logindBus.registerObject("/org/freedesktop/login1", &logind, QDBusConnection::ExportAllSlots));

    std::vector<std::string> calls;
    std::function<void()> ready;
    LogindSleepWatcher watcher(
        Connect("window"),
        [&](std::function<void()> r) {
            calls.push_back("suspend");
            ready = std::move(r);
        },
        [&] { calls.push_back("resume"); });
    ASSERT_TRUE(watcher.Watching());
    SpinUntil([&] { return watcher.HoldsDelayLock(); });
    EXPECT_TRUE(watcher.HoldsDelayLock());
    EXPECT_EQ(logind.what, "sleep");
    EXPECT_EQ(logind.mode, "delay");

    // Another program sending the same signal is not logind.
    QDBusConnection stranger = Connect("stranger");
    SendPrepareForSleep(stranger, true);

    SendPrepareForSleep(logindBus, true);
    SpinUntil([&] { return !calls.empty(); });
    EXPECT_EQ(calls, std::vector<std::string>{"suspend"});
    // The system waits until the window has let go of its instrument.
    EXPECT_TRUE(watcher.HoldsDelayLock());
    ready();
    EXPECT_FALSE(watcher.HoldsDelayLock());

    SendPrepareForSleep(logindBus, false);
    SpinUntil([&] { return calls.size() == 2 && watcher.HoldsDelayLock(); });
    EXPECT_EQ(calls, (std::vector<std::string>{"suspend", "resume"}));
    EXPECT_TRUE(watcher.HoldsDelayLock());
    EXPECT_EQ(logind.inhibits, 2);
    // A late answer from the earlier sleep does not give up the new lock.
    ready();
    EXPECT_TRUE(watcher.HoldsDelayLock());
}

TEST_F(PrivateBus, ABusWithoutLogindTakesNoLockAndCallsNothing) {
    int calls = 0;
    LogindSleepWatcher watcher(
        Connect("window"), [&](std::function<void()>) { ++calls; }, [&] { ++calls; });
    QCoreApplication::processEvents();
    EXPECT_FALSE(watcher.HoldsDelayLock());
    EXPECT_EQ(calls, 0);
}

TEST(LogindSleepWatcher, WithoutAnyBusItStaysQuiet) {
    int calls = 0;
    {
        LogindSleepWatcher watcher(
            QDBusConnection::connectToBus("unix:path=/nonexistent/bus", "absent"),
            [&](std::function<void()>) { ++calls; }, [&] { ++calls; });
        EXPECT_FALSE(watcher.Watching());
        EXPECT_FALSE(watcher.HoldsDelayLock());
        // The program's default: the system bus, which this machine may not have; either way nothing runs.
        LogindSleepWatcher system([&](std::function<void()>) { ++calls; }, [&] { ++calls; });
        QCoreApplication::processEvents();
    }
    QDBusConnection::disconnectFromBus("absent");
    EXPECT_EQ(calls, 0);
}

} // namespace
} // namespace orvane

#include "LogindSleepWatcherTest.moc"
