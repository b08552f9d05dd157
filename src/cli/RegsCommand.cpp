#include "cli/RegsCommand.h"

#include "cli/CliArguments.h"
#include "cli/CliSession.h"

#include <cstdio>
#include <cstdlib>

namespace orvane {

void PrintRegisterLines(const RegisterImage& image, int first, int last, std::ostream& out) {
    for (int k = first; k <= last; ++k) {
        char line[32];
        std::snprintf(line, sizeof line, "%3d 0x%04X %5u\n", k, image.Get(k), image.Get(k));
        out << line;
    }
}

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
    CliSession session(clock, err);
    if (!session.Connect(port))
        return 1;
    PrintRegisterLines(session.Records().buffer.Image(), 1, 127, out);
    return 0;
}

int RunWriteRegCommand(const std::vector<std::string>& args, const Clock& clock, std::ostream& out,
                       std::ostream& err) {
    const CliArguments parsed(args, {}, {"--port", "--speed"});
    PortArguments port;
    std::string error;
    const auto& values = parsed.Positional();
    char* end = nullptr;
    const long index = values.size() == 2 ? std::strtol(values[0].c_str(), &end, 10) : -1;
    const bool indexOk = values.size() == 2 && end && *end == '\0' && index >= 0 && index <= 127;
    const unsigned long value = values.size() == 2 ? std::strtoul(values[1].c_str(), &end, 0) : 0;
    const bool valueOk = values.size() == 2 && end && *end == '\0' && !values[1].empty() &&
                         values[1][0] != '-' && value <= 0xFFFF;
    if (!parsed.Ok() || !parsed.Port(port, error) || !indexOk || !valueOk) {
        err << "orvane write-reg: "
            << (!parsed.Ok()     ? parsed.Error()
                : !error.empty() ? error
                : !indexOk       ? "REG must be 0..127"
                                 : "VALUE must be 0..65535, decimal or 0x-hexadecimal")
            << "\nUsage: orvane write-reg --port PATH [--speed fast|normal] REG VALUE\n";
        return 2;
    }
    CliSession session(clock, err);
    if (!session.Connect(port))
        return 1;
    // As the register debug panel's WRITE: the word into the image, then all registers to the device.
    RegisterImage& image = session.Records().buffer.Image();
    image.SetSettled(false);
    image.Set(static_cast<int>(index), static_cast<std::uint16_t>(value));
    session.Link().WriteAllRegisters();
    const int writes = session.Writes();
    if (!session.RunUntil([&] { return session.Writes() > writes; })) {
        session.PrintLog(err);
        err << "orvane write-reg: the write was not acknowledged\n";
        return 1;
    }
    PrintRegisterLines(image, static_cast<int>(index), static_cast<int>(index), out);
    return 0;
}

} // namespace orvane
