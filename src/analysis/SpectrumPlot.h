#pragma once

#include "analysis/DisplayColours.h"
#include "analysis/PlotColumns.h"
#include "analysis/PlotGeometry.h"
#include "analysis/RoiMarker.h"
#include "analysis/VerticalScale.h"

#include <cstdint>
#include <memory>
#include <string>

namespace orvane {

class CSpectrum;

// The ten commands of the view-control toolbar, in its order.
enum class PlotCommand {
    Linear,
    Logarithmic,
    AutoVertical,
    ExpandVertical,
    CompressVertical,
    ExpandAroundCursor,
    CompressAroundCursor,
    ExpandFromLeft,
    CompressFromLeft,
    FullSpectrum,
};

enum class DrawingStyle { Dots = 0, Bars = 1, Steps = 2, Line = 3 };

// The keys the plot answers.
enum class PlotKey { Left, Right, Up, Down, Home, ZoomIn, ZoomOut, NextStyle };

enum class ScrollAction { LineBack, LineForward, PageBack, PageForward, Thumb };

struct ScrollRange {
    int minimum = 0;
    int maximum = 0; // the last position the bar's thumb can take
    int page = 1;
    int position = 0;
};

struct AxisLabels {
    std::string left, centre, right;
    bool operator==(const AxisLabels&) const = default;
};

// Everything the plot of one record decides: the view (cursor, first, last, width live in the record), the
// vertical scale, the drawing style and colours, what each mouse, key and scroll-bar input does, ROI marking,
// and the columns to draw. A widget only turns its events into these calls and paints what they describe.
// Pixel coordinates are those of the plot's client rectangle.
class SpectrumPlot {
public:
    static constexpr int kMinWidth = 32;

    explicit SpectrumPlot(CSpectrum& record);
    ~SpectrumPlot();

    CSpectrum& Record() { return record_; }
    const CSpectrum& Record() const { return record_; }

    // The view-control commands and the check marks of the first three.
    void Run(PlotCommand command);
    bool Checked(PlotCommand command) const;

    // Sets the view to `width` channels, re-centred on the cursor or keeping the first channel.
    void SetView(int width, bool recentre);
    // Keeps the width and starts the view at `first` (scrolling).
    void ScrollTo(int first);
    // Puts the cursor on `channel`, kept inside the view.
    void MoveCursor(int channel);

    VerticalScale& Scale() { return scale_; }
    const VerticalScale& Scale() const { return scale_; }
    DrawingStyle Style() const { return style_; }
    void SetStyle(DrawingStyle style) { style_ = style; }
    void NextStyle();
    const DisplayColours& Colours() const { return colours_; }
    void SetColours(const DisplayColours& colours) { colours_ = colours; }
    static DisplayColours DefaultColours();
    RoiMode Mode() const { return mode_; }
    void SetMode(RoiMode mode) { mode_ = mode; }
    const RoiMarker& Marker() const { return marker_; }

    // Geometry, from the client rectangle (right and bottom exclusive).
    void SetClientRect(int left, int top, int right, int bottom);
    const PlotGeometry& Geometry() const { return geometry_; }
    int ChannelAt(int x) const;
    int CursorX() const;
    // Pen width: the channel's pixels (1 to 20) for dots, 1 otherwise.
    int PenWidth() const;

    // Mouse input. Moves are those with a button held; x may lie outside the client rectangle while the
    // mouse is captured.
    void LeftButtonDown(int x);
    void RightButtonDown(int x);
    void LeftButtonUp();
    void RightButtonUp();
    void MouseMove(int x);
    void LeftDoubleClick();
    void RightDoubleClick();
    void Wheel(int steps);
    bool Captured() const { return leftHeld_ || rightHeld_; }
    bool PointerHidden() const { return pointerHidden_; }

    // Keyboard input: a key-down (repeated while held) and the key-up that ends it.
    void KeyDown(PlotKey key, bool shift, bool ctrl);
    void KeyUp();

    // Scroll bars.
    ScrollRange Horizontal() const;
    ScrollRange Vertical() const;
    void HorizontalScroll(ScrollAction action, int thumb = 0);
    void VerticalScroll(ScrollAction action, int thumb = 0);

    // Labels: the scale at the top left and the channels (or energies) under the axis.
    std::string ScaleLabel() const { return scale_.Label(); }
    AxisLabels Labels() const;
    // The status-bar cursor text.
    std::string CursorStatusText() const;

    // Drawing. Reduce the view to columns (and let the automatic scale follow); the widget draws them all
    // after a full redraw, or only the changed runs otherwise, then commits.
    bool NeedsFullRedraw() const;
    void RequestFullRedraw() { drawnValid_ = false; }
    // Reduces the view to columns; returns true when the automatic scale changed the index (reduce again).
    bool Reduce();
    // Reduces until the automatic scale stays where it is (a few rounds at most), so a frame is never drawn
    // at a scale that is about to change. True when the index changed.
    bool ReduceAndSettle();
    std::span<const PlotColumn> Columns() const { return columns_->Columns(); }
    std::span<const ColumnRun> ChangedRuns() { return columns_->ChangedRuns(JoinsNeighbours() ? 1 : 0); }
    // Lines and steps join each column to its neighbours, so a redraw reaches one column further.
    bool JoinsNeighbours() const { return style_ == DrawingStyle::Steps || style_ == DrawingStyle::Line; }
    void CommitFull();
    void CommitColumns() { columns_->Commit(); }

    // Counts every change of ROI marks made through the plot.
    std::uint64_t MarksVersion() const { return marksVersion_; }

private:
    struct DrawnState {
        PlotGeometry geometry;
        int width = 0, soft = 0;
        DrawingStyle style = DrawingStyle::Bars;
        DisplayColours colours;
        bool linear = true;
        int index = 0;
        bool operator==(const DrawnState&) const = default;
    };
    DrawnState Current() const;
    void ButtonDown(int x, bool left);
    void ButtonUp(bool left);
    void OutsideMove(int direction);
    void Extend();
    void StartKeyMarking(bool shift, bool ctrl);
    void StepCursor(int direction);
    int First() const;
    int Width() const;
    int Last() const;

    CSpectrum& record_;
    PlotGeometry geometry_ = PlotGeometry::FromClient(0, 0, 0, 0);
    VerticalScale scale_;
    DrawingStyle style_ = DrawingStyle::Bars;
    DisplayColours colours_ = DefaultColours();
    RoiMode mode_ = RoiMode::MarkOver;
    RoiMarker marker_;
    std::unique_ptr<PlotColumns> columns_;

    bool leftHeld_ = false, rightHeld_ = false, pointerHidden_ = false;
    int outside_ = 0; // −1 left of the window, +1 right of it, 0 inside
    int outsideX_ = 0;
    int repeat_ = 0;
    std::uint64_t marksVersion_ = 0;
    DrawnState drawn_;
    bool drawnValid_ = false;
};

} // namespace orvane
