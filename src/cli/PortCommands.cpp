#include "cli/PortCommands.h"

#include "cli/CliArguments.h"
#include "cli/CliSession.h"
#include "device/PortNames.h"
#include "device/UdevPortEnumerator.h"
#include "session/PortFinder.h"

namespace orvane {

namespace {

// The device paths named on the command line, as the finder's port list.
class GivenPorts : public PortEnumerator {
public:
    explicit GivenPorts(const std::vector<std::string>& paths) {
        for (const std::string& path : paths) {
            const std::string name = path.substr(path.find_last_of('/') + 1);
            ports_.push_back(SSerInfo{path, name, name + " (" + name + ")", false, name});
        }
    }
    std::vector<SSerInfo> Enumerate(std::string&) override { return ports_; }

private:
    std::vector<SSerInfo> ports_;
};

} // namespace

int RunPortsCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (!args.empty()) {
        err << "orvane ports: takes no arguments\nUsage: orvane ports\n";
        return 2;
    }
    UdevPortEnumerator enumerator;
    std::string error;
    const std::vector<SSerInfo> ports = enumerator.Enumerate(error);
    if (!error.empty()) {
        err << "orvane ports: " << error << "\n";
        return 1;
    }
    for (const SSerInfo& p : ports)
        out << p.friendlyName << "\t" << p.devicePath << (p.usb ? "\tUSB" : "") << "\n";
    return 0;
}

int RunFindCommand(const std::vector<std::string>& args, const Clock& clock, std::ostream& out,
                   std::ostream& err) {
    const CliArguments parsed(args, {}, {});
    if (!parsed.Ok()) {
        err << "orvane find: " << parsed.Error() << "\nUsage: orvane find [PATH...]\n";
        return 2;
    }
    CliSession session(clock, err);
    UdevPortEnumerator machine;
    GivenPorts given(parsed.Positional());
    PortEnumerator& ports = parsed.Positional().empty() ? static_cast<PortEnumerator&>(machine) : given;
    PortFinder finder(session.Link(), ports, session.Log(), session.Loop());
    finder.Open();
    finder.FirstPaint();
    // Every port costs about 3.2 s per speed; the loop runs as long as the search does.
    session.Loop().RunUntil([&] { return !finder.Searching(); }, 24 * 3600 * 1000LL);
    session.PrintLog(err);
    if (finder.FoundCount() < 0) {
        err << finder.Message() << "\n";
        return 1;
    }
    std::string ignored;
    const std::vector<SSerInfo> list = ports.Enumerate(ignored);
    for (const std::string& entry : finder.Found())
        out << entry << "\t" << DevicePathFromText(entry, list) << "\n";
    return 0;
}

} // namespace orvane
