#pragma once

#include "spectrum/CSpectrum.h"
#include "spectrum/TextLines.h"

#include <string>

namespace orvane {

class Host;
class OutputLog;

// Reads a spectrum file into a record the way the analyzer always has: line by line, looking for known
// tags, never rejecting content (unknown lines are skipped, missing blocks leave the reset values, numbers
// read with the C library's rules, sizes clamped).
class SpectrumFileReader {
public:
    // host shows "Unable to Open File"; log (optional) receives the register block's size text.
    explicit SpectrumFileReader(Host& host, OutputLog* log = nullptr);

    // fileName is the chosen file's name without its folder: the title and the tag until the file says
    // otherwise. False, with the message and the record unchanged, when the file cannot be opened.
    bool Load(CSpectrum& record, const std::string& path, const std::string& fileName);
    // The same from text already in memory.
    void LoadText(CSpectrum& record, std::string text, const std::string& fileName);

    // Register 62 (the two time-constant exponents) as a file without it implies it from register 9.
    static std::uint16_t DeriveTimeConstants(std::uint16_t register9);

private:
    class Pass;

    Host& host_;
    OutputLog* log_;
};

} // namespace orvane
