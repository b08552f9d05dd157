#include "cli/RegsCommand.h"

#include "cli/CliArguments.h"
#include "cli/CliLink.h"

#include <cstdio>

namespace orvane {

int RunRegsCommand(const std::vector<std::string>& args, const Clock& clock, std::ostream& out,
                   std::ostream& err) {
    const CliArguments parsed(args, {}, {"--port", "--speed"});
    PortArguments port;
    std::string error;
    if (!parsed.Ok() || !parsed.Positional().empty() || !parsed.Port(port, error)) {
        err << "orvane regs: "
            << (!parsed.Ok()    ? parsed.Error()
                : error.empty() ? "unexpected argument"
                                : error)
            << "\nUsage: orvane regs --port PATH [--speed fast|normal]\n";
        return 2;
    }
    CliLink link(clock);
    if (!link.Open(port, err))
        return 1;
    std::vector<std::uint16_t> words;
    if (!link.ReadRegisters(1, 127, words)) {
        link.PrintLog(err);
        err << "orvane regs: " << (link.HungUp() ? "the line hung up: " : "no valid reply from ") << port.port
            << "\n";
        return 1;
    }
    for (std::size_t i = 0; i < words.size(); ++i) {
        char line[32];
        std::snprintf(line, sizeof line, "%3d 0x%04X %5u\n", static_cast<int>(i + 1), words[i], words[i]);
        out << line;
    }
    return 0;
}

} // namespace orvane
