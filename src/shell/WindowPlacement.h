#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace orvane {

// The main window's placement as the settings keep it ("WinPos"): eleven 32-bit little-endian integers.
// The normal rectangle's right and bottom edges lie just outside the window (right = left + width).
struct WindowPlacement {
    static constexpr std::size_t kBytes = 44;

    // Show states.
    static constexpr std::int32_t kShowNormal = 1;
    static constexpr std::int32_t kShowMinimized = 2;
    static constexpr std::int32_t kShowMaximized = 3;
    // Flags.
    static constexpr std::int32_t kSetMinPosition = 1;
    static constexpr std::int32_t kRestoreToMaximized = 2;

    std::int32_t length = static_cast<std::int32_t>(kBytes);
    std::int32_t flags = 0;
    std::int32_t showState = kShowNormal;
    std::int32_t minX = -1;
    std::int32_t minY = -1;
    std::int32_t maxX = -1;
    std::int32_t maxY = -1;
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;

    std::array<std::uint8_t, kBytes> Pack() const;
    // False, leaving out alone, unless exactly 44 bytes are given.
    static bool Unpack(std::span<const std::uint8_t> bytes, WindowPlacement& out);

    // A record that can be applied to a window: its own length field says 44 and the normal rectangle
    // has an area.
    bool Usable() const;

    bool operator==(const WindowPlacement&) const = default;
};

} // namespace orvane
