#pragma once

#include "cli/CliArguments.h"
#include "cli/CliHost.h"
#include "shell/AnalyzerSession.h"
#include "shell/EventLoop.h"
#include "shell/MemorySettingsStore.h"

#include <functional>
#include <ostream>

namespace orvane {

// The analyzer's session without a window, for the command-line subcommands: its one record is the
// shown, active buffer spectrum; the device link runs on a real-time loop with the 200 ms link timer.
class CliSession : public DeviceLinkListener {
public:
    CliSession(const Clock& clock, std::ostream& err, bool agree = false);
    ~CliSession() override;

    // Connects and waits for the first register read-back; false (with the log printed) otherwise.
    bool Connect(const PortArguments& port);
    // Runs the loop until done() holds, the link is released or the line hangs up.
    bool RunUntil(const std::function<bool()>& done, std::int64_t timeoutMs = 30000);
    // The log lines so far, without the log's own first line.
    void PrintLog(std::ostream& out) const;

    AnalyzerSession& Session() { return session_; }
    CliHost& MessageHost() { return host_; }
    Spectra& Records() { return session_.spectra; }
    DeviceLink& Link() { return session_.link; }
    EventLoop& Loop() { return loop_; }
    OutputLog& Log() { return session_.log; }
    int Refreshes() const { return refreshes_; }
    int Writes() const { return writes_; }
    bool Released() const { return released_; }
    bool HungUp() const { return hungUp_; }

    // A subcommand that follows the link step by step hears every read-back and write after the count.
    void SetWatcher(DeviceLinkListener* watcher) { watcher_ = watcher; }

    void OnRegistersRefreshed(bool loggerRunning) override;
    void OnRegistersWritten() override;
    void OnReleased() override { released_ = true; }

private:
    void Tick();

    std::ostream& err_;
    EventLoop loop_;
    CliHost host_;
    MemorySettingsStore settings_;
    AnalyzerSession session_;
    TimerId tick_ = 0;
    DeviceLinkListener* watcher_ = nullptr;
    int refreshes_ = 0;
    int writes_ = 0;
    bool released_ = false;
    bool hungUp_ = false;
};

} // namespace orvane
