#pragma once

#include "shell/Clock.h"

#include <ostream>
#include <string>
#include <vector>

namespace orvane {

// orvane acquire --port PATH [--speed fast|normal] --preset SECONDS [--live] [--time system|local|utc]
// [--ntp SERVER[:PORT]] [--force] (-o FILE | --runs N --folder DIR --base NAME): one run saved as FILE,
// or a series logged by the spectrum logger; the saved paths go to standard output, one a line.
int RunAcquireCommand(const std::vector<std::string>& args, const Clock& clock, std::ostream& out,
                      std::ostream& err);

} // namespace orvane
