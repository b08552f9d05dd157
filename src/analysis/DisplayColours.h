#pragma once

#include <cstdint>

namespace orvane {

// The four colours of a spectrum display, each 0x00BBGGRR as the settings store keeps them.
struct DisplayColours {
    std::uint32_t cursor = 0;
    std::uint32_t spectrum = 0;
    std::uint32_t background = 0;
    std::uint32_t roi = 0;

    bool operator==(const DisplayColours&) const = default;
};

} // namespace orvane
