#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace orvane {

// Cuts the host's byte stream into frames. A frame starts with a known command code, its length field says
// how long it is; a frame whose checksum is wrong is reported as such so the instrument can stay silent.
// Bytes that cannot start a frame are skipped one at a time, so the parser finds its way back in step.
class FrameParser {
public:
    static constexpr std::size_t kMaxFrame = 1024;

    struct Frame {
        const std::uint8_t* bytes = nullptr;
        std::size_t size = 0;
        bool valid = false; // checksum right
    };

    // Adds bytes; returns how many were taken (the rest must be fed again after Next() drained frames).
    std::size_t Feed(const std::uint8_t* data, std::size_t count);
    // The next complete frame, if any; its bytes stay valid until the next Feed or Next.
    bool Next(Frame& frame);

    static bool KnownCode(std::uint8_t low, std::uint8_t high);

private:
    void Consume(std::size_t count);

    std::array<std::uint8_t, 2 * kMaxFrame> buffer_{};
    std::array<std::uint8_t, kMaxFrame> frame_{};
    std::size_t size_ = 0;
};

} // namespace orvane
