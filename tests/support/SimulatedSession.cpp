#include "support/SimulatedSession.h"

#include <algorithm>

namespace orvane::test {

SimulatedSession::SimulatedSession(const SimulatorOptions& options)
    : line(loop, options), session(loop, loop, host, settings) {
    session.link.SetPort(line.Path(), "SIM0", 921600);
    session.ShowRecord(session.spectra.buffer);
    host.onDialog = [this](DialogKind kind) {
        if (kind == DialogKind::TimeStamp)
            session.time.Choose(TimeSource::System);
    };
}

SimulatedSession::~SimulatedSession() {
    session.link.Port().ClosePort();
}

void SimulatedSession::Connect() {
    int refreshes = 0;
    struct Counter : DeviceLinkListener {
        int& count;
        explicit Counter(int& c) : count(c) {}
        void OnRegistersRefreshed(bool) override { ++count; }
    } counter(refreshes);
    session.SetViews(&counter);
    session.link.ConnectDevice();
    loop.Advance(DeviceLink::kBreakMs + DeviceLink::kSettleMs);
    const bool connected = loop.RunUntil([&] { return refreshes > 0 && session.link.Responding(); });
    session.SetViews(nullptr);
    ASSERT_TRUE(connected);
}

bool SimulatedSession::Run(const std::function<bool()>& done, int steps, int stepMs, int replyWaitMs) {
    for (int i = 0; i < steps && !done(); ++i) {
        const long before = session.link.Completions();
        if (replyWaitMs > 0 && session.link.Busy())
            loop.RunUntil([&] { return !session.link.Busy() || session.link.Completions() > before; },
                          replyWaitMs);
        loop.Advance(stepMs);
        sinceTick_ += stepMs;
        while (sinceTick_ >= 200) {
            sinceTick_ -= 200;
            session.link.OnLinkTimer();
        }
        loop.RunFor(1);
    }
    return done();
}

bool SimulatedSession::Written(int k) {
    return loop.RunUntil([&] { return Instrument(k) == session.spectra.buffer.Image().Get(k); });
}

std::vector<std::string> SimulatedSession::Messages() const {
    std::vector<std::string> m;
    const auto& lines = session.log.Lines();
    for (std::size_t i = 1; i < lines.size(); ++i)
        m.push_back(lines[i].text.substr(OutputLog::Prefix({}).size()));
    return m;
}

int SimulatedSession::Count(const std::string& message) const {
    const auto m = Messages();
    return static_cast<int>(std::count(m.begin(), m.end(), message));
}

std::uint16_t SimulatedSession::Instrument(int k) {
    return line.Simulator().Instrument().Register(static_cast<std::size_t>(k));
}

} // namespace orvane::test
