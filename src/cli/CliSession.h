#pragma once

#include "cli/CliArguments.h"
#include "cli/CliHost.h"
#include "session/DeviceLink.h"
#include "shell/EventLoop.h"
#include "shell/OutputLog.h"

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

    Spectra& Records() { return spectra_; }
    DeviceLink& Link() { return link_; }
    EventLoop& Loop() { return loop_; }
    OutputLog& Log() { return log_; }
    int Refreshes() const { return refreshes_; }
    int Writes() const { return writes_; }
    bool Released() const { return released_; }
    bool HungUp() const { return hungUp_; }

    void OnRegistersRefreshed(bool) override { ++refreshes_; }
    void OnRegistersWritten() override { ++writes_; }
    void OnReleased() override { released_ = true; }

private:
    void Tick();

    const Clock& clock_;
    std::ostream& err_;
    EventLoop loop_;
    OutputLog log_;
    CliHost host_;
    Spectra spectra_;
    DeviceIdentity identity_;
    DeviceLink link_;
    TimerId tick_ = 0;
    int refreshes_ = 0;
    int writes_ = 0;
    bool released_ = false;
    bool hungUp_ = false;
};

} // namespace orvane
