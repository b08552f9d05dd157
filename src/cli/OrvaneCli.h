#pragma once

#include "shell/Clock.h"

#include <ostream>
#include <string>
#include <vector>

namespace orvane {

// The orvane program: one subcommand per call, each a few lines over the analyzer's own core.
int OrvaneMain(const std::vector<std::string>& args, const Clock& clock, std::ostream& out,
               std::ostream& err);

} // namespace orvane
