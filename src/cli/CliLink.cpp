#include "cli/CliLink.h"

#include "device/SerialEventDispatch.h"
#include "device/SerialStatus.h"

#include <cstring>

namespace orvane {

namespace {
constexpr std::int64_t kLinkTickMs = 200;
// A command that fails all four tries takes about 20 s; leave room for that, then give up.
constexpr std::int64_t kExchangeLimitMs = 30000;
} // namespace

CliLink::CliLink(const Clock& clock)
    : clock_(clock), loop_(clock), log_(clock, nullptr),
      window_(loop_, [this](std::uint32_t param) { DispatchSerialEvent(param, log_, link_); }),
      link_(port_, log_, loop_, *this) {}

CliLink::~CliLink() {
    link_.Reset();
    port_.ClosePort();
}

bool CliLink::Open(const PortArguments& args, std::ostream& err) {
    const std::int32_t status = port_.OpenForWindow(args.port, &window_, 0, 0, 2000, 2000);
    if (status != serial::kSuccess) {
        err << "Unable to open COM-port " << args.port << ": "
            << (status > 0 && status < 200 ? std::strerror(status) : "status " + std::to_string(status))
            << "\n";
        return false;
    }
    port_.SetLineFormat(args.baud, 8, serial::kParityNone, serial::kStopOne);
    port_.SetEventMask(serial::kEventReceived | serial::kEventLineError);
    port_.SetReadMode(serial::kReadNonBlocking);
    port_.SetFlowControl(serial::kFlowRtsCts);
    port_.Break();
    port_.Purge();
    link_.DrainInput();
    return true;
}

void CliLink::OnCommandComplete() {
    completed_ = true;
    link_.SetBusy(false);
}

void CliLink::Tick() {
    link_.TimeoutTick();
    tickTimer_ = loop_.PostAfter(kLinkTickMs, [this] { Tick(); });
}

bool CliLink::RunExchange() {
    completed_ = failed_ = false;
    tickTimer_ = loop_.PostAfter(kLinkTickMs, [this] { Tick(); });
    // A line that hung up (an unplugged instrument) cannot answer any more: no need to sit out the time-out.
    loop_.RunUntil([this] { return completed_ || failed_ || !port_.IsListening(); }, kExchangeLimitMs);
    hungUp_ = !completed_ && !port_.IsListening();
    loop_.Cancel(tickTimer_);
    return completed_;
}

bool CliLink::ReadRegisters(int start, int count, std::vector<std::uint16_t>& words) {
    link_.Prepare(CommandKind::RegisterRead,
                  frames::Address(frames::kSelectRead, frames::kRegisterBase + start),
                  static_cast<std::uint16_t>(2 * count));
    link_.SendRead();
    if (!RunExchange())
        return false;
    words.resize(count);
    for (int i = 0; i < count; ++i)
        words[i] = frames::Get16(link_.ReplyData() + 2 * i);
    return true;
}

void CliLink::PrintLog(std::ostream& out) const {
    const auto& lines = log_.Lines();
    for (std::size_t i = 1; i < lines.size(); ++i)
        out << lines[i].text << "\n";
}

} // namespace orvane
