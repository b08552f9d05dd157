#include "cli/NtpCommand.h"

#include "cli/CliArguments.h"
#include "timesvc/CSNTPClient.h"
#include "timesvc/TimeStampDialogModel.h"

#include <cerrno>
#include <cstdlib>

namespace orvane {

namespace {

constexpr const char* kUsage = "Usage: orvane ntp SERVER[:PORT] [--ntp-port N] [--timeout MS]\n";

// A whole decimal number in min..max, or false.
bool ReadNumber(const std::string& text, long min, long max, long& value) {
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos || text.size() > 9)
        return false;
    value = std::strtol(text.c_str(), nullptr, 10);
    return value >= min && value <= max;
}

int BadArguments(const std::string& why, std::ostream& err) {
    err << "orvane ntp: " << why << "\n" << kUsage;
    return 2;
}

} // namespace

int RunNtpCommand(const std::vector<std::string>& args, const Clock& clock, std::ostream& out,
                  std::ostream& err) {
    const CliArguments parsed(args, {}, {"--ntp-port", "--timeout"});
    if (!parsed.Ok())
        return BadArguments(parsed.Error(), err);
    if (parsed.Positional().size() != 1)
        return BadArguments(parsed.Positional().empty() ? "SERVER is required" : "one SERVER only", err);
    long port = CSNTPClient::kDefaultPort;
    long timeout = CSNTPClient::kDefaultTimeoutMs;
    if (parsed.Has("--ntp-port") && !ReadNumber(parsed.Value("--ntp-port"), 1, 65535, port))
        return BadArguments("--ntp-port must be a number in 1..65535", err);
    if (parsed.Has("--timeout") && !ReadNumber(parsed.Value("--timeout"), 1, 3600000, timeout))
        return BadArguments("--timeout must be a number of milliseconds in 1..3600000", err);
    const std::string& server = parsed.Positional().front();
    std::string host;
    int serverPort = 0;
    if (!CSNTPClient::SplitServer(server, static_cast<int>(port), host, serverPort))
        return BadArguments("SERVER must be a host or address with an optional :PORT (1..65535)", err);

    CSNTPClient client(clock);
    client.SetPort(static_cast<int>(port));
    client.SetTimeout(static_cast<int>(timeout));
    NtpServerResponse response;
    if (!client.Query(server, response)) {
        err << "Failed to retreive time from: " << server << "\n"
            << "orvane ntp: " << client.LastErrorText() << " (error " << client.LastError() << ")\n";
        return 1;
    }
    for (const std::string& line : TimeStampDialogModel::ReportLines(server, response))
        out << line << "\n";
    return 0;
}

} // namespace orvane
