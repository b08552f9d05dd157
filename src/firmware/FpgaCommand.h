#pragma once

#include "firmware/FpgaExchange.h"
#include "session/DeviceLink.h"
#include "shell/Clock.h"
#include "shell/Host.h"
#include "shell/SettingsStore.h"

#include <functional>
#include <memory>

namespace orvane {

// Utility > "FPGA": the firmware dialog borrows the open connection. Polling stops, the command waits
// (a timed state, at most 30 s: a command that fails all four tries takes about 20 s) until no reply is
// pending, mutes the window's own serial-event handling, runs the dialog, and connects again afterwards.
class FpgaCommand {
public:
    static constexpr std::int64_t kPollMs = 100;
    static constexpr std::int64_t kWaitLimitMs = 30000;

    FpgaCommand(DeviceLink& link, Host& host, Poster& poster, const Clock& clock, SettingsStore& settings);
    ~FpgaCommand();

    void Run();
    bool Waiting() const { return waitTimer_ != 0; }

    // The panels to refresh once polling stopped (the acquisition panel and the trace viewer).
    void SetRefreshPanels(std::function<void()> refresh) { refreshPanels_ = std::move(refresh); }
    // Shows the dialog on the exchange, modally; returns when it is closed.
    void SetShowDialog(std::function<void(FpgaExchange&)> show) { showDialog_ = std::move(show); }

private:
    void Poll(std::int64_t deadlineMs);
    void RunDialog();
    void NotConnected();

    DeviceLink& link_;
    Host& host_;
    Poster& poster_;
    const Clock& clock_;
    SettingsStore& settings_;
    TimerId waitTimer_ = 0;
    std::function<void()> refreshPanels_;
    std::function<void(FpgaExchange&)> showDialog_;
};

} // namespace orvane
