#include "shell/WindowPlacement.h"

namespace orvane {

namespace {

constexpr int kFields = 11;

std::array<std::int32_t*, kFields> Fields(WindowPlacement& p) {
    return {&p.length, &p.flags, &p.showState, &p.minX,  &p.minY,  &p.maxX,
            &p.maxY,   &p.left,  &p.top,       &p.right, &p.bottom};
}

} // namespace

std::array<std::uint8_t, WindowPlacement::kBytes> WindowPlacement::Pack() const {
    WindowPlacement copy = *this;
    std::array<std::uint8_t, kBytes> out{};
    int i = 0;
    for (const std::int32_t* field : Fields(copy)) {
        const auto u = static_cast<std::uint32_t>(*field);
        for (int b = 0; b < 4; ++b)
            out[static_cast<std::size_t>(4 * i + b)] = static_cast<std::uint8_t>(u >> (8 * b));
        ++i;
    }
    return out;
}

bool WindowPlacement::Unpack(std::span<const std::uint8_t> bytes, WindowPlacement& out) {
    if (bytes.size() != kBytes)
        return false;
    int i = 0;
    for (std::int32_t* field : Fields(out)) {
        std::uint32_t u = 0;
        for (int b = 0; b < 4; ++b)
            u |= static_cast<std::uint32_t>(bytes[static_cast<std::size_t>(4 * i + b)]) << (8 * b);
        *field = static_cast<std::int32_t>(u);
        ++i;
    }
    return true;
}

bool WindowPlacement::Usable() const {
    return length == static_cast<std::int32_t>(kBytes) && right > left && bottom > top;
}

} // namespace orvane
