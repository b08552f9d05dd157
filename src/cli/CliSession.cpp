#include "cli/CliSession.h"

namespace orvane {

namespace {
constexpr std::int64_t kLinkTickMs = 200;
}

CliSession::CliSession(const Clock& clock, std::ostream& err, bool agree)
    : err_(err), loop_(clock), host_("orvane", err, agree), session_(loop_, clock, host_, settings_) {
    session_.SetViews(this);
    session_.ShowRecord(session_.spectra.buffer);
    tick_ = loop_.PostAfter(kLinkTickMs, [this] { Tick(); });
}

CliSession::~CliSession() {
    loop_.Cancel(tick_);
    session_.SetViews(nullptr);
}

void CliSession::Tick() {
    session_.link.OnLinkTimer();
    tick_ = loop_.PostAfter(kLinkTickMs, [this] { Tick(); });
}

void CliSession::OnRegistersRefreshed(bool loggerRunning) {
    ++refreshes_;
    if (watcher_)
        watcher_->OnRegistersRefreshed(loggerRunning);
}

void CliSession::OnRegistersWritten() {
    ++writes_;
    if (watcher_)
        watcher_->OnRegistersWritten();
}

bool CliSession::RunUntil(const std::function<bool()>& done, std::int64_t timeoutMs) {
    // A line that hung up (an unplugged instrument) cannot answer any more: no need to sit out the time-out.
    loop_.RunUntil(
        [&] {
            hungUp_ = Link().Port().IsOpen() && !Link().Port().IsListening();
            return done() || released_ || hungUp_;
        },
        timeoutMs);
    return done();
}

bool CliSession::Connect(const PortArguments& port) {
    Link().SetPort(port.port, port.port, port.baud);
    Link().ConnectDevice();
    if (RunUntil([this] { return refreshes_ > 0; }))
        return true;
    PrintLog(err_);
    err_ << (hungUp_ ? "the line hung up: " : "no valid reply from ") << port.port << "\n";
    return false;
}

void CliSession::PrintLog(std::ostream& out) const {
    const auto& lines = session_.log.Lines();
    for (std::size_t i = 1; i < lines.size(); ++i)
        out << lines[i].text << "\n";
}

} // namespace orvane
