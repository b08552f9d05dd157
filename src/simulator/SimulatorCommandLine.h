#pragma once

#include "simulator/SimulatorOptions.h"

#include <ostream>
#include <string>
#include <vector>

namespace orvane {

// The options of orvane-sim (and of "orvane sim"), shared so both spell them the same.
class SimulatorCommandLine {
public:
    // Returns 0 when the options were understood, 2 with a message on err otherwise; --help sets help.
    static int Parse(const std::vector<std::string>& args, SimulatorOptions& options, bool& help,
                     std::ostream& err);
    static void PrintHelp(std::ostream& out, const std::string& program);

    // Serves until SIGINT or SIGTERM. Prints the device path as the first line of out.
    static int Run(const SimulatorOptions& options, std::ostream& out, std::ostream& err);

    // The whole program: parse, then run.
    static int Main(const std::string& program, const std::vector<std::string>& args, std::ostream& out,
                    std::ostream& err);
};

} // namespace orvane
