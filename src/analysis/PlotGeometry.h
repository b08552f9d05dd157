#pragma once

namespace orvane {

// Where the plot draws inside its client rectangle, and how soft channels map to pixel columns. The plot
// keeps 20 pixels above for the scale label, 25 below for the channel labels, 20 left and 10 right.
struct PlotGeometry {
    int left = 0, top = 0, right = 0, bottom = 0; // the client rectangle; right and bottom exclusive
    int plotTop = 20, plotBottom = 20, plotHeight = 4;
    int plotLeft = 20, plotRight = 20, plotWidth = 1;

    static PlotGeometry FromClient(int left, int top, int right, int bottom);

    // D: the whole pixels each viewed channel gets (0 when channels share columns).
    int ChannelPixels(int width) const;
    // The first pixel column of a soft channel in a view of `width` channels starting at `first`.
    int ChannelLeft(int channel, int first, int width) const;
    // The channel's x: the middle of its pixels.
    int ChannelX(int channel, int first, int width) const;
    // The channel under pixel column x (not yet clamped into the view).
    int ChannelAt(int x, int first, int width) const;

    bool operator==(const PlotGeometry&) const = default;
};

} // namespace orvane
