#pragma once

#include "session/RegisterImage.h"
#include "shell/Clock.h"

#include <ostream>
#include <string>
#include <vector>

namespace orvane {

// orvane regs --port PATH [--speed fast|normal]: registers 1..127 as "%3d 0x%04X %5u" lines.
int RunRegsCommand(const std::vector<std::string>& args, const Clock& clock, std::ostream& out,
                   std::ostream& err);
// orvane write-reg --port PATH REG VALUE: sets one word and writes all registers, as WRITE does.
int RunWriteRegCommand(const std::vector<std::string>& args, const Clock& clock, std::ostream& out,
                       std::ostream& err);
// One "%3d 0x%04X %5u" line per register first..last.
void PrintRegisterLines(const RegisterImage& image, int first, int last, std::ostream& out);

} // namespace orvane
