#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace kettrim {

// Kettrim without a window, for scripted pipelines: one conversion from the options, progress lines on
// standard output, error messages on standard error. Returns the exit status: 0 when the conversion
// completed, 1 when it did not, 2 for bad arguments.
class KettrimCommandLine {
public:
    static int Run(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);
    static const char* Usage();
};

} // namespace kettrim
