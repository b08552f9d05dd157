#include "analysis/PlotGeometry.h"

#include <algorithm>
#include <cstdint>

namespace orvane {

PlotGeometry PlotGeometry::FromClient(int left, int top, int right, int bottom) {
    PlotGeometry g;
    g.left = left;
    g.top = top;
    g.right = right;
    g.bottom = bottom;
    g.plotTop = top + 20;
    g.plotBottom = bottom - 25;
    // A pane squeezed to nothing still draws into a few pixels and never divides by a zero width.
    g.plotHeight = std::max(g.plotBottom - g.plotTop, 4);
    g.plotLeft = left + 20;
    g.plotRight = right - 10;
    g.plotWidth = std::max(right - left - 30, 1);
    return g;
}

int PlotGeometry::ChannelPixels(int width) const {
    return plotWidth / std::max(width, 1);
}

int PlotGeometry::ChannelLeft(int channel, int first, int width) const {
    const std::int64_t offset = static_cast<std::int64_t>(channel - first) * plotWidth / std::max(width, 1);
    return static_cast<int>(offset) + plotLeft;
}

int PlotGeometry::ChannelX(int channel, int first, int width) const {
    return ChannelLeft(channel, first, width) + ChannelPixels(width) / 2;
}

int PlotGeometry::ChannelAt(int x, int first, int width) const {
    const int x0 = plotLeft + ChannelPixels(width) / 2;
    return static_cast<int>(static_cast<std::int64_t>(x - x0) * std::max(width, 1) / plotWidth) + first;
}

} // namespace orvane
