#pragma once

#include "shell/Clock.h"

#include <ostream>
#include <string>
#include <vector>

namespace orvane {

// orvane ntp SERVER [--ntp-port N] [--timeout MS]: asks a time server once and prints the time-stamp
// dialog's report lines.
int RunNtpCommand(const std::vector<std::string>& args, const Clock& clock, std::ostream& out,
                  std::ostream& err);

} // namespace orvane
