#pragma once

#include <array>
#include <cstdint>

namespace kettrim {

// The working buffers of a conversion, fixed in size and reused for every file.
struct SpectrumBuffers {
    static constexpr int kChannels = 16384;
    static constexpr int kRegisters = 128;

    // qxs: channel i is element i; four-spectrum type: spectrum k channel i is element k * 4096 + i.
    std::array<std::uint32_t, kChannels> counts{};
    std::array<std::uint32_t, kChannels> binned{};
    std::array<std::uint16_t, kRegisters> registers{};
};

} // namespace kettrim
