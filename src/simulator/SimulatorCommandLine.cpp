#include "simulator/SimulatorCommandLine.h"

#include "shell/SystemClock.h"
#include "simulator/PtySimulator.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <limits>
#include <unistd.h>

namespace orvane {

namespace {

struct NumericOption {
    const char* name;
    const char* help;
    std::function<void(SimulatorOptions&, unsigned long)> set;
    unsigned long max;
};

const std::vector<NumericOption>& NumericOptions() {
    static const std::vector<NumericOption> options = {
        {"--serial", "N       serial number reported in the status block",
         [](SimulatorOptions& o, unsigned long v) { o.serialNumber = static_cast<std::uint16_t>(v); }, 65535},
        {"--firmware", "N     firmware version x 100 (205 is 2.05)",
         [](SimulatorOptions& o, unsigned long v) { o.firmwareVersion = static_cast<std::int16_t>(v); },
         32767},
        {"--register15", "N   register 15: platform in bits 12..15, clock code in bits 2..3",
         [](SimulatorOptions& o, unsigned long v) { o.register15 = static_cast<std::uint16_t>(v); }, 65535},
        {"--corrupt-every", "N  give every Nth reply a wrong checksum",
         [](SimulatorOptions& o, unsigned long v) { o.corruptChecksumEvery = static_cast<unsigned>(v); },
         1u << 30},
        {"--wrong-echo-every", "N  give every Nth reply a wrong address echo",
         [](SimulatorOptions& o, unsigned long v) { o.wrongEchoEvery = static_cast<unsigned>(v); }, 1u << 30},
        {"--split", "N        write every reply in N pieces",
         [](SimulatorOptions& o, unsigned long v) { o.splitPieces = static_cast<unsigned>(v); }, 65536},
        {"--split-delay", "MS   pause between the pieces (default 2)",
         [](SimulatorOptions& o, unsigned long v) { o.splitDelayMs = static_cast<unsigned>(v); }, 10000},
        {"--stray-after", "N    send N stray bytes after every reply",
         [](SimulatorOptions& o, unsigned long v) { o.strayAfterReply = static_cast<unsigned>(v); }, 256},
        {"--stray-every", "MS   send stray bytes whenever the line was idle this long",
         [](SimulatorOptions& o, unsigned long v) { o.strayEveryMs = static_cast<unsigned>(v); }, 60000},
        {"--silent-after", "N   answer nothing once N replies went out (0: never answer)",
         [](SimulatorOptions& o, unsigned long v) { o.silentAfter = static_cast<int>(v); }, 1u << 30},
        {"--unplug-after", "N   close the line once N replies went out",
         [](SimulatorOptions& o, unsigned long v) { o.unplugAfter = static_cast<int>(v); }, 1u << 30},
        {"--line-rate", "BAUD  pace replies at a real line rate (921600 or 460800)",
         [](SimulatorOptions& o, unsigned long v) { o.lineRate = static_cast<std::uint32_t>(v); }, 4000000},
    };
    return options;
}

volatile std::sig_atomic_t gStop = 0;
void OnSignal(int) {
    gStop = 1;
}

} // namespace

void SimulatorCommandLine::PrintHelp(std::ostream& out, const std::string& program) {
    out << "Usage: " << program << " [OPTIONS]\n"
        << "Serves a simulated Orvane instrument on a pseudo-terminal. The first line printed is the\n"
        << "device path to open; the instrument answers until interrupted.\n\n"
        << "Options:\n"
        << "  --link PATH        also make PATH a symbolic link to the device\n";
    for (const NumericOption& o : NumericOptions())
        out << "  " << o.name << " " << o.help << "\n";
    out << "  --help             show this text\n"
        << "Numbers may be decimal or 0x-hexadecimal.\n";
}

int SimulatorCommandLine::Parse(const std::vector<std::string>& args, SimulatorOptions& options, bool& help,
                                std::ostream& err) {
    help = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--help" || arg == "-h") {
            help = true;
            return 0;
        }
        if (i + 1 >= args.size()) {
            err << "unknown option or missing value: " << arg << "\n";
            return 2;
        }
        const std::string& value = args[++i];
        if (arg == "--link") {
            options.link = value;
            continue;
        }
        const NumericOption* match = nullptr;
        for (const NumericOption& o : NumericOptions()) {
            if (arg == o.name)
                match = &o;
        }
        char* end = nullptr;
        errno = 0;
        const unsigned long number = std::strtoul(value.c_str(), &end, 0);
        if (match == nullptr) {
            err << "unknown option: " << arg << "\n";
            return 2;
        }
        if (value.empty() || *end != '\0' || errno != 0 || value[0] == '-' || number > match->max) {
            err << "bad value for " << arg << ": " << value << "\n";
            return 2;
        }
        match->set(options, number);
    }
    return 0;
}

int SimulatorCommandLine::Run(const SimulatorOptions& options, std::ostream& out, std::ostream& err) {
    PtySimulator simulator(SystemClock::Instance(), options);
    if (const int error = simulator.Start()) {
        err << "cannot create the pseudo-terminal: " << std::strerror(error) << "\n";
        return 1;
    }
    out << simulator.DevicePath() << std::endl;
    std::signal(SIGINT, OnSignal);
    std::signal(SIGTERM, OnSignal);
    while (!gStop && !simulator.Unplugged())
        ::usleep(50 * 1000);
    simulator.Stop();
    return 0;
}

int SimulatorCommandLine::Main(const std::string& program, const std::vector<std::string>& args,
                               std::ostream& out, std::ostream& err) {
    SimulatorOptions options;
    bool help = false;
    if (const int status = Parse(args, options, help, err)) {
        err << "Try '" << program << " --help'.\n";
        return status;
    }
    if (help) {
        PrintHelp(out, program);
        return 0;
    }
    return Run(options, out, err);
}

} // namespace orvane
