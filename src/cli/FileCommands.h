#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace orvane {

// orvane info FILE: the record a spectrum file loads into, as JSON.
int RunInfoCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// orvane export FILE (--csv|--chn) (--hard|--soft [--soft-size N]) -o OUT [--force]: the analyzer's CSV or
// CHN export of a spectrum file.
int RunExportCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// orvane regfile FILE: the 128 words the register debug panel loads from a register file (or from a
// spectrum file's register block), as "%3d 0x%04X %5u" lines.
int RunRegfileCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace orvane
