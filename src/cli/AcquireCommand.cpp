#include "cli/AcquireCommand.h"

#include "cli/AcquireRun.h"
#include "cli/CliArguments.h"
#include "cli/CliSession.h"
#include "panels/AcquisitionPanel.h"
#include "spectrum/SafeFileWriter.h"
#include "timesvc/CSNTPClient.h"

#include <filesystem>

namespace orvane {

namespace {

constexpr const char* kUsage =
    "Usage: orvane acquire --port PATH [--speed fast|normal] --preset SECONDS [--live]\n"
    "                      [--time system|local|utc] [--ntp SERVER[:PORT]] [--force]\n"
    "                      (-o FILE | --runs N --folder DIR --base NAME)\n";

struct AcquireRequest {
    PortArguments port;
    AcquireSettings settings;
    TimeSource source = TimeSource::System;
    std::string ntpServer;
};

bool ReadTimeSource(const std::string& text, TimeSource& source) {
    if (text == "system")
        source = TimeSource::System;
    else if (text == "local")
        source = TimeSource::Local;
    else if (text == "utc")
        source = TimeSource::Utc;
    else
        return false;
    return true;
}

// Where the run or the series goes: -o alone, or all three of --runs, --folder and --base.
bool ReadTarget(const CliArguments& parsed, AcquireSettings& settings, std::string& why) {
    const bool single = parsed.Has("-o");
    const bool series = parsed.Has("--runs") || parsed.Has("--folder") || parsed.Has("--base");
    if (single == series) {
        why = single ? "give either -o FILE or --runs N --folder DIR --base NAME, not both"
                     : "give -o FILE or --runs N --folder DIR --base NAME";
        return false;
    }
    if (single) {
        settings.output = parsed.Value("-o");
        why = settings.output.empty() ? "-o needs a file name" : "";
        return why.empty();
    }
    long runs = 0;
    if (!parsed.Has("--runs") || !parsed.Number("--runs", 1, 999999, runs)) {
        why = "--runs must be a number of runs in 1..999999";
        return false;
    }
    settings.runs = static_cast<int>(runs);
    settings.folder = parsed.Value("--folder");
    settings.base = parsed.Value("--base");
    if (settings.folder.empty() || settings.base.empty()) {
        why = "a series needs --folder DIR and --base NAME";
        return false;
    }
    return true;
}

bool ReadRequest(const std::vector<std::string>& args, AcquireRequest& request, std::string& why) {
    const CliArguments parsed(
        args, {"--live", "--force"},
        {"--port", "--speed", "--preset", "--time", "--ntp", "-o", "--runs", "--folder", "--base"});
    if (!parsed.Ok()) {
        why = parsed.Error();
        return false;
    }
    if (!parsed.Positional().empty()) {
        why = "unexpected argument: " + parsed.Positional().front();
        return false;
    }
    if (!parsed.Port(request.port, why))
        return false;
    long preset = 0;
    if (!parsed.Has("--preset") ||
        !parsed.Number("--preset", 1, AcquisitionPanel::kMaxPresetSeconds, preset)) {
        why = "--preset must be a whole number of seconds in 1.." +
              std::to_string(AcquisitionPanel::kMaxPresetSeconds);
        return false;
    }
    request.settings.presetSeconds = static_cast<unsigned>(preset);
    request.settings.live = parsed.Has("--live");
    request.settings.force = parsed.Has("--force");
    if (!ReadTimeSource(parsed.Value("--time", "system"), request.source)) {
        why = "--time must be system, local or utc";
        return false;
    }
    request.ntpServer = parsed.Value("--ntp");
    std::string host;
    int port = 0;
    if (request.source == TimeSource::Utc && request.ntpServer.empty())
        why = "--time utc needs --ntp SERVER[:PORT]";
    else if (request.source != TimeSource::Utc && parsed.Has("--ntp"))
        why = "--ntp goes with --time utc";
    else if (parsed.Has("--ntp") &&
             !CSNTPClient::SplitServer(request.ntpServer, CSNTPClient::kDefaultPort, host, port))
        why = "--ntp must be a host or address with an optional :PORT (1..65535)";
    return why.empty() && ReadTarget(parsed, request.settings, why);
}

// Refusals that need no instrument: a missing folder, an existing single file without --force. An
// existing first file of a series is the logger's own question, asked once connected.
bool TargetUsable(const AcquireRequest& request, std::ostream& err) {
    std::error_code ignored;
    const AcquireSettings& settings = request.settings;
    if (settings.runs > 0) {
        if (std::filesystem::is_directory(settings.folder, ignored))
            return true;
        err << "orvane acquire: no such folder: " << settings.folder << "\n";
        return false;
    }
    const std::string path = WithDefaultExtension(settings.output, "qxs");
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    if (!folder.empty() && !std::filesystem::is_directory(folder, ignored)) {
        err << "orvane acquire: no such folder: " << folder.string() << "\n";
        return false;
    }
    if (!settings.force && PathExists(path)) {
        err << "orvane acquire: " << path << " exists (--force overwrites it)\n";
        return false;
    }
    return true;
}

// UTC is the computer's clock corrected by the offset one query measures, as "Use UTC" takes it.
bool MeasureUtcOffset(const std::string& server, const Clock& clock, double& offset, std::ostream& err) {
    CSNTPClient client(clock);
    NtpServerResponse response;
    if (!client.Query(server, response)) {
        err << "Failed to retreive time from: " << server << "\n"
            << "orvane acquire: " << client.LastErrorText() << " (error " << client.LastError() << ")\n";
        return false;
    }
    offset = response.localClockOffset;
    return true;
}

} // namespace

int RunAcquireCommand(const std::vector<std::string>& args, const Clock& clock, std::ostream& out,
                      std::ostream& err) {
    AcquireRequest request;
    std::string why;
    if (!ReadRequest(args, request, why)) {
        err << "orvane acquire: " << why << "\n" << kUsage;
        return 2;
    }
    if (!TargetUsable(request, err))
        return 1;
    double utcOffset = 0.0;
    if (request.source == TimeSource::Utc && !MeasureUtcOffset(request.ntpServer, clock, utcOffset, err))
        return 1;

    CliSession session(clock, err, request.settings.force);
    if (!session.Connect(request.port))
        return 1;
    // Chosen after Connect, which asks for a new choice: START then needs no dialog.
    session.Session().time.Choose(request.source, utcOffset);
    AcquireRun run(session, out, err);
    if (!run.Clear(request.settings))
        return 1;
    const bool done =
        request.settings.runs > 0 ? run.RunSeries(request.settings) : run.RunOnce(request.settings);
    return done ? 0 : 1;
}

} // namespace orvane
