#pragma once

#include "cli/CliSession.h"

#include <cstdint>
#include <ostream>
#include <string>

namespace orvane {

// What one `orvane acquire` asks for, checked.
struct AcquireSettings {
    unsigned presetSeconds = 0;
    bool live = false;
    std::string output; // -o, as given: the Save name rule applies when it is saved
    int runs = 0;       // a series through the spectrum logger when above zero
    std::string folder;
    std::string base;
    bool force = false; // the overwrite questions answered OK
};

// One acquisition on a connected session, driven through the acquisition panel and the spectrum logger
// as a user drives them: the preset, RESET, START (stamped on an even second of the chosen source), and
// either the Save command once the run has ended and its counts have been read again in full, or the
// logger's own series. It follows the link through the session's read-backs and writes.
class AcquireRun : public DeviceLinkListener {
public:
    AcquireRun(CliSession& session, std::ostream& out, std::ostream& err);
    ~AcquireRun() override;
    AcquireRun(const AcquireRun&) = delete;
    AcquireRun& operator=(const AcquireRun&) = delete;

    // Sets the preset, stops a run in progress and clears the instrument; true once a read-back shows
    // it stopped with no time counted.
    bool Clear(const AcquireSettings& settings);
    // START, the wait for the run's end and a whole poll cycle after it, then Save As the output.
    bool RunOnce(const AcquireSettings& settings);
    // ENABLE on the logger (its checks and overwrite question), START, and the wait until the logger
    // has switched itself off after its last run.
    bool RunSeries(const AcquireSettings& settings);

    void OnRegistersRefreshed(bool loggerRunning) override;
    void OnRegistersWritten() override {}

private:
    enum class Phase { Idle, Clearing, Cleared, Starting, Running, Settling, Ended };
    // Poll cycles after the end: every fourth chunk brings a read-back, eight chunks the whole spectrum.
    static constexpr int kSettlingRefreshes = 2;

    bool WaitFor(Phase phase, std::int64_t timeoutMs, const char* failure);
    // Generous: a live-time preset runs longer than its real time by the dead time.
    static std::int64_t RunTimeoutMs(const AcquireSettings& settings);
    void Fail(const char* why);

    CliSession& session_;
    std::ostream& out_;
    std::ostream& err_;
    Phase phase_ = Phase::Idle;
    int endRefresh_ = 0;
};

} // namespace orvane
