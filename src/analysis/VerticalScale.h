#pragma once

#include "analysis/PlotGeometry.h"

#include <cstdint>
#include <string>

namespace orvane {

// The plot's vertical scale: linear with a full scale of 2^index counts, or logarithmic over 16 << index
// binary orders of magnitude, and the automatic adjustment of the linear index to the highest column.
class VerticalScale {
public:
    static constexpr int kMaxLinearIndex = 31;
    static constexpr int kMaxLogIndex = 1;

    bool Linear() const { return linear_; }
    bool Auto() const { return auto_; }
    int LinearIndex() const { return linearIndex_; }
    int LogIndex() const { return logIndex_; }
    // The index of the scale in use, and its range (the vertical scroll bar's).
    int Index() const { return linear_ ? linearIndex_ : logIndex_; }
    int MaxIndex() const { return linear_ ? kMaxLinearIndex : kMaxLogIndex; }

    void SetLinear();
    void SetLogarithmic();
    // On only from off on a linear scale; every other press turns it off.
    void ToggleAuto();
    // Sets the index of the scale in use, clamped into its range; a manual change ends automatic scaling.
    void SetIndex(int index);
    void Step(int delta) { SetIndex(Index() + delta); }
    // Restores stored values, each clamped into its range.
    void Restore(bool linear, int linearIndex, int logIndex, bool autoScale);

    // How many pixels tall a count is drawn in a plot `plotHeight` pixels tall, before clamping.
    std::int64_t Height(std::uint32_t count, int plotHeight) const;
    // The y of a count's point before clamping into the plot.
    std::int64_t PointY(std::uint32_t count, const PlotGeometry& g) const {
        return g.plotBottom - Height(count, g.plotHeight);
    }
    static int ClampY(std::int64_t y, const PlotGeometry& g);

    // After a drawing whose highest column reached `minY` (before clamping): the linear index follows while
    // automatic scaling is on. True when the index changed, so the plot must be drawn again.
    bool Adjust(std::int64_t minY, const PlotGeometry& g);

    // The label at the top left: "%4.4s  " with the full scale, or "LOG  ".
    std::string Label() const;

private:
    bool linear_ = true;
    bool auto_ = false;
    int linearIndex_ = 9;
    int logIndex_ = 0;
};

} // namespace orvane
