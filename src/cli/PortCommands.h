#pragma once

#include "shell/Clock.h"

#include <ostream>
#include <string>
#include <vector>

namespace orvane {

// orvane ports: the serial ports as the Port dialog lists them.
int RunPortsCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
// orvane find [PATH...]: the port finder over the machine's ports, or over the given device paths only.
int RunFindCommand(const std::vector<std::string>& args, const Clock& clock, std::ostream& out,
                   std::ostream& err);

} // namespace orvane
