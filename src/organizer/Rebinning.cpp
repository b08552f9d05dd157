#include "organizer/Rebinning.h"

#include <algorithm>

namespace kettrim {

void Rebin(SpectrumBuffers& buffers, int size, int spectrumChannels) {
    buffers.binned.fill(0);
    int factor = spectrumChannels / std::max(1, size);
    if (factor < 1 || factor > 64)
        factor = 1;
    for (int j = 0; j * factor < SpectrumBuffers::kChannels; ++j) {
        std::uint32_t sum = 0;
        for (int i = j * factor; i < j * factor + factor; ++i)
            sum += buffers.counts[static_cast<std::size_t>(i)];
        buffers.binned[static_cast<std::size_t>(j)] = sum;
    }
}

} // namespace kettrim
