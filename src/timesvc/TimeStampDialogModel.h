#pragma once

#include "shell/Clock.h"
#include "shell/Poster.h"
#include "shell/ProgressList.h"
#include "timesvc/SntpQueryWorker.h"
#include "timesvc/SystemClockSetter.h"
#include "timesvc/TimeSourceState.h"

#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace orvane {

// The model of the "Measurement Time Stamp" dialog (CTimeUTC): the server box, the report list, the
// enabled states of "Use UTC" and "Synchonize SYSTEM/LOCAL with NTP", and the choice it hands to the
// TimeSourceState. One model per showing of the dialog. "Get UTC" runs the query on a worker thread; its
// report lines arrive later on the behaviour thread and onChanged tells the view to read the model again.
class TimeStampDialogModel {
public:
    static constexpr const char* kCaption = "Measurement Time Stamp";
    static constexpr const char* kFormatLabel = "TIME FORMAT: DD/MM/YYYY  HH:MM:SS.MS";
    static constexpr std::size_t kMaxLines = ProgressList::kMaxLines;
    // A clock this far from the server's is not corrected.
    static constexpr double kSynchronizeLimitSeconds = 3600.0;

    TimeStampDialogModel(Poster& poster, const Clock& clock, TimeSourceState& state,
                         SystemClockSetter& setter);

    // The query's settings; the dialog uses the defaults.
    void SetQueryTimeout(int timeoutMs) { timeoutMs_ = timeoutMs; }
    void SetDefaultPort(int port) { defaultPort_ = port; }

    static const std::vector<std::string>& PresetServers();
    // The editable server box. A text may end in ":PORT".
    std::string serverText;

    // Opening: the first preset server, "Use UTC" and synchronising disabled.
    void Open();
    // "Get UTC". Ignored while a query runs.
    void GetUtc();
    // The query's end: the report lines and the enabled states. The worker calls it; so may tests.
    void ApplyOutcome(const SntpOutcome& outcome);
    // "Synchonize SYSTEM/LOCAL with NTP". Ignored unless enabled.
    void Synchronize();
    // "Use UTC" (ignored unless enabled), "Use LOCAL", "Use SYSTEM" (also Escape and closing the window).
    // Each ends a running query; the dialog then closes (UseUtc says false, and nothing happens, while the
    // button is disabled).
    bool UseUtc();
    void UseLocal();
    void UseSystem();

    bool QueryRunning() const { return worker_.Running(); }
    bool GetUtcEnabled() const { return !QueryRunning(); }
    bool UseUtcEnabled() const { return useUtcEnabled_; }
    bool SynchronizeEnabled() const { return synchronizeEnabled_; }
    const std::deque<std::string>& Lines() const { return report_.Lines(); }
    // The report list as the dialog shows it: the newest 80 lines, their extent and the top line.
    const ProgressList& Report() const { return report_; }
    // The offset the last successful query measured, less any part already applied to the clock.
    double MeasuredOffset() const { return offset_; }

    std::function<void()> onChanged;

    // The success report: the server line, the four timestamps, the delay and the offset.
    static std::vector<std::string> ReportLines(const std::string& server, const NtpServerResponse& response);

private:
    void AddLine(const std::string& line);
    void Choose(TimeSource source, double correction);
    void Changed();

    const Clock& clock_;
    TimeSourceState& state_;
    SystemClockSetter& setter_;
    SntpQueryWorker worker_;
    int timeoutMs_ = CSNTPClient::kDefaultTimeoutMs;
    int defaultPort_ = CSNTPClient::kDefaultPort;
    ProgressList report_;
    bool useUtcEnabled_ = false;
    bool synchronizeEnabled_ = false;
    double offset_ = 0.0;
};

} // namespace orvane
