#include "cli/FpgaCommand.h"

#include "cli/CliArguments.h"
#include "device/CSerialMFC.h"
#include "device/CallbackSerialWindow.h"
#include "device/SerialStatus.h"
#include "firmware/FpgaExchange.h"
#include "shell/EventLoop.h"
#include "shell/MemorySettingsStore.h"

#include <cstring>

namespace orvane {

namespace {

constexpr const char* kUsage =
    "Usage: orvane fpga (upload|verify|config) --port PATH [IMAGE] [--speed fast|normal]";

// Message boxes become lines on standard error; there is nobody to answer them.
class StreamHost : public Host {
public:
    explicit StreamHost(std::ostream& err) : err_(err) {}
    int MessageBox(const std::string& text, const std::string&, MessageIcon, MessageButtons) override {
        err_ << "orvane fpga: " << text << "\n";
        return kAnswerOk;
    }

private:
    std::ostream& err_;
};

class LinePrinter : public ProgressList::Listener {
public:
    explicit LinePrinter(std::ostream& out) : out_(out) {}
    void OnLineAdded(const std::string& text) override { out_ << text << "\n" << std::flush; }
    void OnOldestRemoved() override {}

private:
    std::ostream& out_;
};

int BadArguments(const std::string& why, std::ostream& err) {
    err << "orvane fpga: " << why << "\n" << kUsage << "\n";
    return 2;
}

bool OpenPort(CSerialMFC& port, CallbackSerialWindow& window, const PortArguments& args, std::ostream& err) {
    const std::int32_t status = port.OpenForWindow(args.port, &window, 0, 0, 2000, 2000);
    if (status != serial::kSuccess) {
        err << "Unable to open COM-port " << args.port << ": "
            << (status > 0 && status < 200 ? std::strerror(status) : "status " + std::to_string(status))
            << "\n";
        return false;
    }
    // The line as the analyzer sets it up when it connects.
    port.SetLineFormat(args.baud, 8, serial::kParityNone, serial::kStopOne);
    port.SetEventMask(serial::kEventReceived | serial::kEventLineError);
    port.SetReadMode(serial::kReadNonBlocking);
    port.SetFlowControl(serial::kFlowRtsCts);
    port.Break();
    port.Purge();
    return true;
}

bool Succeeded(const FpgaExchange& exchange, bool verify) {
    return exchange.LastOutcome() == FpgaExchange::Outcome::Done && !(verify && exchange.VerifyErrors() > 0);
}

} // namespace

int RunFpgaCommand(const std::vector<std::string>& args, const Clock& clock, std::ostream& out,
                   std::ostream& err) {
    const CliArguments parsed(args, {}, {"--port", "--speed"});
    if (!parsed.Ok())
        return BadArguments(parsed.Error(), err);
    const std::vector<std::string>& positional = parsed.Positional();
    const std::string action = positional.empty() ? "" : positional[0];
    const bool withImage = action == "upload" || action == "verify";
    if (!withImage && action != "config")
        return BadArguments("the action must be upload, verify or config", err);
    if (positional.size() != (withImage ? 2u : 1u))
        return BadArguments(withImage ? "one IMAGE file is needed" : "config takes no IMAGE", err);
    PortArguments portArgs;
    std::string error;
    if (!parsed.Port(portArgs, error))
        return BadArguments(error, err);

    EventLoop loop(clock);
    StreamHost host(err);
    MemorySettingsStore settings;
    CSerialMFC port;
    FpgaExchange exchange(port, loop, host, settings);
    CallbackSerialWindow window(loop, [&exchange](std::uint32_t param) { exchange.OnSerialEvent(param); });
    LinePrinter printer(out);
    exchange.Progress().SetListener(&printer);
    if (!OpenPort(port, window, portArgs, err))
        return 1;

    exchange.Open();
    if (withImage)
        exchange.SetImagePath(positional[1]);
    if (action == "upload")
        exchange.Upload();
    else if (action == "verify")
        exchange.Verify();
    else
        exchange.Configure();
    // An upload takes as long as its blocks take; every reply that does not come ends it within 2.3 s.
    while (exchange.Busy() && port.IsListening())
        loop.RunUntil([&] { return !exchange.Busy() || !port.IsListening(); }, 1000);
    const bool hungUp = exchange.Busy();
    exchange.Close();
    port.ClosePort();
    if (hungUp) {
        err << "orvane fpga: the line hung up: " << portArgs.port << "\n";
        return 1;
    }
    return Succeeded(exchange, action == "verify") ? 0 : 1;
}

} // namespace orvane
