#pragma once

#include <string>

namespace kettrim {

// What a conversion reports to its user: the progress list and the error message boxes (caption "Error").
// The dialog shows them; the headless mode prints them.
class ConversionHost {
public:
    virtual ~ConversionHost() = default;
    virtual void AddProgressLine(const std::string& line) = 0;
    virtual void ShowError(const std::string& text) = 0;
};

} // namespace kettrim
