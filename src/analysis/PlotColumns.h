#pragma once

#include "analysis/PlotGeometry.h"
#include "analysis/VerticalScale.h"

#include <array>
#include <cstdint>
#include <span>

namespace orvane {

class CSpectrum;

// One pixel column of the plot: the channels that fall on it are drawn as the highest of them, in the
// colour of the first.
struct PlotColumn {
    int channel = 0; // the first channel on the column
    int left = 0;    // first pixel column it covers
    int right = 0;   // last pixel column it covers
    int x = 0;       // the channel's point
    int top = 0;     // y of the highest count, clamped into the plot
    bool roi = false;
};

// A run of columns to draw again, first to last inclusive.
struct ColumnRun {
    int first = 0;
    int last = 0;
};

// The viewed channels reduced to pixel columns, and what was last drawn per column, so that a redraw after
// new counts, a cursor move or an ROI change touches only the columns that differ. Fixed buffers: nothing is
// allocated while an acquisition runs.
class PlotColumns {
public:
    static constexpr int kMaxColumns = 16384;

    // Reduces the soft channels first..first + width − 1 of the record. Returns the smallest y before
    // clamping (the top of the highest column; the plot bottom for an empty view).
    std::int64_t Reduce(const CSpectrum& record, const PlotGeometry& g, int first, int width,
                        const VerticalScale& scale);

    std::span<const PlotColumn> Columns() const {
        return {columns_.data(), static_cast<std::size_t>(count_)};
    }

    // Runs of columns whose top or colour differ from what was drawn, each widened by `spread` columns on
    // both sides (a line or step joins neighbours) and merged where they touch.
    std::span<const ColumnRun> ChangedRuns(int spread);

    // What is drawn now becomes the reference for the next comparison.
    void Commit();
    // Forget what was drawn: the next comparison finds every column changed.
    void Invalidate() { drawnCount_ = -1; }

private:
    std::array<PlotColumn, kMaxColumns> columns_{};
    std::array<int, kMaxColumns> drawnTop_{};
    std::array<bool, kMaxColumns> drawnRoi_{};
    std::array<ColumnRun, kMaxColumns> runs_{};
    std::array<std::uint32_t, kMaxColumns> highest_{}; // per column while reducing
    int count_ = 0;
    int drawnCount_ = -1;
};

} // namespace orvane
