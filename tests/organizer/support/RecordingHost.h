#pragma once

#include "organizer/ConversionHost.h"

#include <string>
#include <vector>

namespace kettrim::test {

// Keeps what a conversion reports, for the tests to read.
class RecordingHost : public ConversionHost {
public:
    void AddProgressLine(const std::string& line) override { lines.push_back(line); }
    void ShowError(const std::string& text) override { errors.push_back(text); }

    std::vector<std::string> lines;
    std::vector<std::string> errors;
};

} // namespace kettrim::test
