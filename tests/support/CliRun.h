#pragma once

#include "cli/OrvaneCli.h"
#include "shell/SystemClock.h"

#include <sstream>
#include <string>
#include <vector>

namespace orvane::test {

// One run of the orvane program, in this process, with what it printed.
struct CliRun {
    int status;
    std::string out, err;
};

inline CliRun Orvane(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    const int status = OrvaneMain(args, SystemClock::Instance(), out, err);
    return {status, out.str(), err.str()};
}

} // namespace orvane::test
