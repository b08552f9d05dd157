#include "analysis/PlotColumns.h"

#include "spectrum/CSpectrum.h"

#include <algorithm>
#include <limits>

namespace orvane {

std::int64_t PlotColumns::Reduce(const CSpectrum& record, const PlotGeometry& g, int first, int width,
                                 const VerticalScale& scale) {
    const int soft = record.SoftSize();
    first = std::clamp(first, 0, std::max(soft - 1, 0));
    width = std::max(width, 1);
    const int last = std::min(first + width - 1, soft - 1);
    const auto& counts = record.SoftCounts();
    const auto& marks = record.SoftMarks();

    auto& highest = highest_;
    int n = 0;
    int openLeft = std::numeric_limits<int>::min();
    for (int ch = first; ch <= last; ++ch) {
        const int left = g.ChannelLeft(ch, first, width);
        const std::uint32_t count = counts[static_cast<std::size_t>(ch)];
        if (left != openLeft) {
            PlotColumn& c = columns_[static_cast<std::size_t>(n)];
            c.channel = ch;
            c.left = left;
            c.roi = marks[static_cast<std::size_t>(ch)] != 0;
            highest[static_cast<std::size_t>(n)] = count;
            openLeft = left;
            ++n;
        } else {
            auto& h = highest[static_cast<std::size_t>(n - 1)];
            h = std::max(h, count);
        }
    }
    count_ = n;

    const int half = g.ChannelPixels(width) / 2;
    const int end = g.plotLeft + g.plotWidth; // one past the last pixel column of the plot
    std::int64_t minY = g.plotBottom;
    for (int k = 0; k < n; ++k) {
        PlotColumn& c = columns_[static_cast<std::size_t>(k)];
        c.right = k + 1 < n ? columns_[static_cast<std::size_t>(k + 1)].left - 1 : std::max(c.left, end - 1);
        c.x = c.left + half;
        const std::int64_t y = scale.PointY(highest[static_cast<std::size_t>(k)], g);
        minY = std::min(minY, y);
        c.top = VerticalScale::ClampY(y, g);
    }
    return minY;
}

std::span<const ColumnRun> PlotColumns::ChangedRuns(int spread) {
    int runs = 0;
    const bool all = drawnCount_ != count_;
    for (int k = 0; k < count_; ++k) {
        const PlotColumn& c = columns_[static_cast<std::size_t>(k)];
        if (!all && c.top == drawnTop_[static_cast<std::size_t>(k)] &&
            c.roi == drawnRoi_[static_cast<std::size_t>(k)])
            continue;
        const int from = std::max(k - spread, 0);
        const int to = std::min(k + spread, count_ - 1);
        if (runs > 0 && from <= runs_[static_cast<std::size_t>(runs - 1)].last + 1)
            runs_[static_cast<std::size_t>(runs - 1)].last = to;
        else
            runs_[static_cast<std::size_t>(runs++)] = {from, to};
    }
    return {runs_.data(), static_cast<std::size_t>(runs)};
}

void PlotColumns::Commit() {
    for (int k = 0; k < count_; ++k) {
        drawnTop_[static_cast<std::size_t>(k)] = columns_[static_cast<std::size_t>(k)].top;
        drawnRoi_[static_cast<std::size_t>(k)] = columns_[static_cast<std::size_t>(k)].roi;
    }
    drawnCount_ = count_;
}

} // namespace orvane
