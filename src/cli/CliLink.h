#pragma once

#include "cli/CliArguments.h"
#include "device/CSerialMFC.h"
#include "device/CallbackSerialWindow.h"
#include "device/LinkTransaction.h"
#include "shell/EventLoop.h"
#include "shell/OutputLog.h"

#include <functional>
#include <ostream>
#include <vector>

namespace orvane {

// One instrument connection for a command-line subcommand: the port opened and set up as the analyzer
// sets it up, the protocol's transaction on it, and a real-time loop that runs the exchange, with the
// link timer's time-out ticks, until it ends.
class CliLink : public LinkTransactionClient {
public:
    explicit CliLink(const Clock& clock);
    ~CliLink() override;

    // Opens and configures the port; false with the reason on err.
    bool Open(const PortArguments& port, std::ostream& err);

    // Reads registers start .. start+count-1; false when the exchange failed for good.
    bool ReadRegisters(int start, int count, std::vector<std::uint16_t>& words);

    // The log lines the exchanges produced, without the log's own first line.
    void PrintLog(std::ostream& out) const;

    int PlatformCode() const override { return platform_; }
    void StoreReadings(const Readings& readings) override { readings_ = readings; }
    void OnCommandComplete() override;
    void OnCommunicationTimeout() override { failed_ = true; }

    const Readings& LastReadings() const { return readings_; }
    // The last exchange ended because the line hung up.
    bool HungUp() const { return hungUp_; }

private:
    bool RunExchange();
    void Tick();

    const Clock& clock_;
    EventLoop loop_;
    OutputLog log_;
    CSerialMFC port_;
    CallbackSerialWindow window_;
    LinkTransaction link_;
    Readings readings_;
    int platform_ = 9999;
    bool completed_ = false;
    bool failed_ = false;
    bool hungUp_ = false;
    TimerId tickTimer_ = 0;
};

} // namespace orvane
