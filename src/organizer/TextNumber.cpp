#include "organizer/TextNumber.h"

#include <limits>

namespace kettrim {
namespace {

constexpr std::uint64_t kSaturated = std::uint64_t{1} << 33; // above every 32-bit magnitude

bool IsCSpace(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// Skips the white space and the sign, and accumulates the digits (saturating).
std::uint64_t Magnitude(std::string_view text, bool& negative) {
    std::size_t i = 0;
    while (i < text.size() && IsCSpace(text[i]))
        ++i;
    negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    std::uint64_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + static_cast<std::uint64_t>(text[i] - '0');
        if (value > kSaturated)
            value = kSaturated;
    }
    return value;
}

} // namespace

std::int32_t ParseSigned32(std::string_view text) {
    bool negative = false;
    const std::uint64_t magnitude = Magnitude(text, negative);
    constexpr auto kMax = static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max());
    if (negative)
        return magnitude > kMax + 1 ? std::numeric_limits<std::int32_t>::min()
                                    : static_cast<std::int32_t>(-static_cast<std::int64_t>(magnitude));
    return magnitude > kMax ? std::numeric_limits<std::int32_t>::max() : static_cast<std::int32_t>(magnitude);
}

std::uint32_t ParseUnsigned32(std::string_view text) {
    bool negative = false;
    std::uint64_t magnitude = Magnitude(text, negative);
    if (magnitude > std::numeric_limits<std::uint32_t>::max())
        magnitude = std::numeric_limits<std::uint32_t>::max();
    const auto value = static_cast<std::uint32_t>(magnitude);
    return negative ? static_cast<std::uint32_t>(0u - value) : value;
}

} // namespace kettrim
