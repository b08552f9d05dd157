#include "cli/CliSession.h"

namespace orvane {

namespace {
constexpr std::int64_t kLinkTickMs = 200;
}

CliSession::CliSession(const Clock& clock, std::ostream& err, bool agree)
    : clock_(clock), err_(err), loop_(clock), log_(clock, nullptr), host_(err, agree), identity_(loop_),
      link_(spectra_, log_, loop_, host_, identity_) {
    identity_.SetActiveSpectrumSource([this] { return spectra_.active; });
    link_.SetListener(this);
    spectra_.buffer.SetShown(true);
    tick_ = loop_.PostAfter(kLinkTickMs, [this] { Tick(); });
}

CliSession::~CliSession() {
    loop_.Cancel(tick_);
    link_.SetListener(nullptr);
}

void CliSession::Tick() {
    link_.OnLinkTimer();
    tick_ = loop_.PostAfter(kLinkTickMs, [this] { Tick(); });
}

bool CliSession::RunUntil(const std::function<bool()>& done, std::int64_t timeoutMs) {
    // A line that hung up (an unplugged instrument) cannot answer any more: no need to sit out the time-out.
    loop_.RunUntil(
        [&] {
            hungUp_ = link_.Port().IsOpen() && !link_.Port().IsListening();
            return done() || released_ || hungUp_;
        },
        timeoutMs);
    return done();
}

bool CliSession::Connect(const PortArguments& port) {
    link_.SetPort(port.port, port.port, port.baud);
    link_.ConnectDevice();
    if (RunUntil([this] { return refreshes_ > 0; }))
        return true;
    PrintLog(err_);
    err_ << (hungUp_ ? "the line hung up: " : "no valid reply from ") << port.port << "\n";
    return false;
}

void CliSession::PrintLog(std::ostream& out) const {
    const auto& lines = log_.Lines();
    for (std::size_t i = 1; i < lines.size(); ++i)
        out << lines[i].text << "\n";
}

} // namespace orvane
