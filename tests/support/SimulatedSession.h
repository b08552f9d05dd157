#pragma once

#include "shell/AnalyzerSession.h"
#include "shell/MemorySettingsStore.h"
#include "support/FakeLoop.h"
#include "support/PtyFixture.h"
#include "support/ScriptedHost.h"

#include <functional>
#include <string>
#include <vector>

namespace orvane::test {

// The analyzer's whole session against the simulated instrument on a pseudo-terminal, on a fake clock.
// The time-stamp dialog, when it is asked for, answers as Escape does: SYSTEM.
class SimulatedSession {
public:
    explicit SimulatedSession(const SimulatorOptions& options = {});
    ~SimulatedSession();

    // Connect, through the break and the settling wait, until the first register read-back arrived.
    void Connect();
    // Moves fake time in steps of stepMs with the 200 ms link timer ticking, until done() holds. Before
    // each step it gives an outstanding reply up to replyWaitMs of real time to arrive, so fake time never
    // runs out a time-out just because the machine is busy; a test of silence passes 0.
    bool Run(const std::function<bool()>& done, int steps = 3000, int stepMs = 20, int replyWaitMs = 200);
    // Waits until the instrument holds what the buffer image says for register k.
    bool Written(int k);

    std::vector<std::string> Messages() const;
    int Count(const std::string& message) const;
    std::uint16_t Instrument(int k);

    FakeLoop loop;
    SimulatedLine line;
    ScriptedHost host;
    MemorySettingsStore settings;
    AnalyzerSession session;

private:
    std::int64_t sinceTick_ = 0;
};

} // namespace orvane::test
