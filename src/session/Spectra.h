#pragma once

#include "spectrum/CSpectrum.h"

namespace orvane {

// The analyzer's two records and which of them is shown: the buffer spectrum receives the instrument's
// data, the file spectrum holds an opened file, the active one is what panels show and commands act on.
struct Spectra {
    CSpectrum buffer{true};
    CSpectrum file{false};
    CSpectrum* active = &buffer;

    bool BufferActive() const { return active == &buffer; }
};

} // namespace orvane
