#pragma once

#include "shell/Clock.h"

#include <ostream>
#include <string>
#include <vector>

namespace orvane {

// orvane fpga (upload|verify|config) --port PATH [IMAGE] [--speed fast|normal]: the FPGA dialog's
// exchange, its progress lines on standard output. 0 when it succeeded (a verify without differences).
int RunFpgaCommand(const std::vector<std::string>& args, const Clock& clock, std::ostream& out,
                   std::ostream& err);

} // namespace orvane
