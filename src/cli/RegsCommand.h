#pragma once

#include "shell/Clock.h"

#include <ostream>
#include <string>
#include <vector>

namespace orvane {

// orvane regs --port PATH [--speed fast|normal]: registers 1..127 as "%3d 0x%04X %5u" lines.
int RunRegsCommand(const std::vector<std::string>& args, const Clock& clock, std::ostream& out,
                   std::ostream& err);

} // namespace orvane
