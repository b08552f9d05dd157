#pragma once

#include "organizer/SpectrumBuffers.h"

namespace kettrim {

// Sums the counts into `size` channels per spectrum: factor = channels per spectrum / size (1 when that is
// below 1 or above 64). The sum runs over the whole counts buffer, so the four spectra of the multi-spectrum
// type land one after the other. Sums wrap at 32 bits, as the stored tables always had them.
void Rebin(SpectrumBuffers& buffers, int size, int spectrumChannels);

} // namespace kettrim
