#include "analysis/VerticalScale.h"

#include "analysis/TextFormat.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace orvane {

namespace {

constexpr std::array<const char*, VerticalScale::kMaxLinearIndex + 1> kFullScaleLabels = {
    "1",  "2",  "4",   "8",   "16",  "32",   "64",   "128",  "256",  "512", "1k",
    "2k", "4k", "8k",  "16k", "32k", "65k",  "130k", "260k", "520k", "1M",  "2M",
    "4M", "8M", "17M", "33M", "67M", "134M", "270M", "540M", "1B",   "2B"};

} // namespace

void VerticalScale::SetLinear() {
    linear_ = true;
}

void VerticalScale::SetLogarithmic() {
    linear_ = false;
    auto_ = false;
}

void VerticalScale::ToggleAuto() {
    auto_ = !auto_ && linear_;
}

void VerticalScale::SetIndex(int index) {
    if (linear_)
        linearIndex_ = std::clamp(index, 0, kMaxLinearIndex);
    else
        logIndex_ = std::clamp(index, 0, kMaxLogIndex);
    auto_ = false;
}

void VerticalScale::Restore(bool linear, int linearIndex, int logIndex, bool autoScale) {
    linear_ = linear;
    linearIndex_ = std::clamp(linearIndex, 0, kMaxLinearIndex);
    logIndex_ = std::clamp(logIndex, 0, kMaxLogIndex);
    auto_ = autoScale && linear;
}

std::int64_t VerticalScale::Height(std::uint32_t count, int plotHeight) const {
    const std::uint32_t h = static_cast<std::uint32_t>(std::max(plotHeight, 1));
    if (!linear_) {
        if (count <= 1)
            return 0;
        return static_cast<std::int64_t>(std::log2(static_cast<double>(count)) * h / (16 << logIndex_));
    }
    const int n = linearIndex_;
    if (count < 0x1FFFFFFFu / h)
        return static_cast<std::int64_t>((count * h) >> n);
    std::uint32_t q = n <= 30 ? (1u << n) / h : 0x40000000u / std::max(h >> 1, 1u);
    q = std::max(q, 1u);
    return static_cast<std::int64_t>(count / q);
}

int VerticalScale::ClampY(std::int64_t y, const PlotGeometry& g) {
    y = std::max<std::int64_t>(y, g.plotTop);
    y = std::min<std::int64_t>(y, g.plotBottom);
    return static_cast<int>(y);
}

bool VerticalScale::Adjust(std::int64_t minY, const PlotGeometry& g) {
    if (!auto_ || !linear_)
        return false;
    const int before = linearIndex_;
    if (minY < g.plotTop) {
        // Halving against the plot bottom mirrors the original rule; on a tiny pane the bottom may be 0 or
        // below, so the index stops at its top instead of looping.
        std::int64_t r = g.plotBottom - minY;
        while (r > g.plotBottom && linearIndex_ < kMaxLinearIndex) {
            ++linearIndex_;
            r /= 2;
        }
    } else if (minY > g.plotBottom - g.plotHeight / 4) {
        std::int64_t r = std::max<std::int64_t>(g.plotBottom - minY, 1);
        while (r < g.plotHeight / 2 && linearIndex_ > 0) {
            --linearIndex_;
            r *= 2;
        }
    }
    return linearIndex_ != before;
}

std::string VerticalScale::Label() const {
    if (!linear_)
        return "LOG  ";
    return Format("%4.4s  ", kFullScaleLabels[static_cast<std::size_t>(linearIndex_)]);
}

} // namespace orvane
