#pragma once

#include "cli/CliHost.h"
#include "spectrum/CSpectrum.h"

#include <string>

namespace orvane {

// The one record of a file subcommand: treated as the shown, active buffer spectrum, loaded as "Open
// Spectrum" loads a file, with the platform then established from its register 15 as the refresh after
// the load does.
class CliSpectrum {
public:
    CliSpectrum();

    // False (the message already on standard error through host) when the file cannot be opened.
    bool Load(const std::string& path, CliHost& host);

    CSpectrum& Record() { return record_; }

    // One of the soft sizes the analyzer offers.
    static bool IsOfferedSoftSize(int size);

private:
    CSpectrum record_;
};

} // namespace orvane
