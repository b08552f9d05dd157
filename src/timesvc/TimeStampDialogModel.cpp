#include "timesvc/TimeStampDialogModel.h"

#include "timesvc/NtpTimestamp.h"

#include <cmath>
#include <cstdio>

namespace orvane {

namespace {

std::string TimestampLine(const char* label, NtpTimestamp t) {
    const LocalDateTime c = t.ToCalendar();
    char line[128];
    std::snprintf(line, sizeof line, "%s%02d/%02d/%04d  %02d:%02d:%02d.%03d", label, c.day, c.month, c.year,
                  c.hour, c.minute, c.second, c.millisecond);
    return line;
}

std::string SecondsLine(const char* format, double seconds) {
    char line[128];
    std::snprintf(line, sizeof line, format, seconds);
    return line;
}

} // namespace

TimeStampDialogModel::TimeStampDialogModel(Poster& poster, const Clock& clock, TimeSourceState& state,
                                           SystemClockSetter& setter)
    : clock_(clock), state_(state), setter_(setter), worker_(poster, clock) {}

const std::vector<std::string>& TimeStampDialogModel::PresetServers() {
    static const std::vector<std::string> servers{"pool.ntp.org", "time.nist.gov"};
    return servers;
}

std::vector<std::string> TimeStampDialogModel::ReportLines(const std::string& server,
                                                           const NtpServerResponse& response) {
    return {"UTC Succesfully Retreived from: " + server,
            TimestampLine("This SYSTEM Originate Timestamp: ", response.originateTime),
            TimestampLine("NTP Server Receive Timestamp:     ", response.receiveTime),
            TimestampLine("NTP Server Transmit Timestamp:    ", response.transmitTime),
            TimestampLine("This SYSTEM Destination Timestamp: ", response.destinationTime),
            SecondsLine("SYSTEM-NTP-SYSTEM Delay: %f seconds", response.roundTripDelay),
            SecondsLine("SYSTEM/LOCAL Clock Offset: %f seconds", response.localClockOffset)};
}

void TimeStampDialogModel::Open() {
    serverText = PresetServers().front();
    useUtcEnabled_ = false;
    synchronizeEnabled_ = false;
    Changed();
}

void TimeStampDialogModel::GetUtc() {
    if (QueryRunning())
        return;
    // The result about to come replaces the last one, so nothing may act on the old one meanwhile.
    useUtcEnabled_ = false;
    synchronizeEnabled_ = false;
    worker_.Start(serverText, defaultPort_, timeoutMs_,
                  [this](const SntpOutcome& outcome) { ApplyOutcome(outcome); });
    Changed();
}

void TimeStampDialogModel::ApplyOutcome(const SntpOutcome& outcome) {
    if (outcome.ok) {
        for (const std::string& line : ReportLines(outcome.server, outcome.response))
            AddLine(line);
        offset_ = outcome.response.localClockOffset;
    } else {
        AddLine("Failed to retreive time from: " + outcome.server);
    }
    useUtcEnabled_ = outcome.ok;
    synchronizeEnabled_ = outcome.ok;
    AddLine(std::string(76, '-'));
    Changed();
}

void TimeStampDialogModel::Synchronize() {
    if (!synchronizeEnabled_)
        return;
    if (std::fabs(offset_) >= kSynchronizeLimitSeconds) {
        AddLine("Can not synchronize: time difference > 1 hour");
    } else {
        const NtpTimestamp corrected = NtpTimestamp::Now(clock_).Plus(offset_);
        if (setter_.SetUtc(corrected.ToUtcMs())) {
            AddLine("System time successfully synchronised");
            // The clock now keeps the server's time: the offset is used up, so a second press or
            // "Use UTC" does not apply it again.
            offset_ = 0.0;
        } else {
            AddLine("Failed to set the system time");
        }
    }
    AddLine(std::string(54, '-'));
    Changed();
}

bool TimeStampDialogModel::UseUtc() {
    if (!useUtcEnabled_)
        return false;
    Choose(TimeSource::Utc, offset_);
    return true;
}

void TimeStampDialogModel::UseLocal() {
    Choose(TimeSource::Local, 0.0);
}

void TimeStampDialogModel::UseSystem() {
    Choose(TimeSource::System, 0.0);
}

void TimeStampDialogModel::Choose(TimeSource source, double correction) {
    worker_.Cancel();
    state_.Choose(source, correction);
}

void TimeStampDialogModel::AddLine(const std::string& line) {
    report_.AddLine(line);
}

void TimeStampDialogModel::Changed() {
    if (onChanged)
        onChanged();
}

} // namespace orvane
