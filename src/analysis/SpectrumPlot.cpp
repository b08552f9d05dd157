#include "analysis/SpectrumPlot.h"

#include "analysis/DisplayCalibration.h"
#include "analysis/TextFormat.h"
#include "spectrum/CSpectrum.h"

#include <algorithm>

namespace orvane {

namespace {

constexpr std::uint32_t Rgb(std::uint32_t r, std::uint32_t g, std::uint32_t b) {
    return r | (g << 8) | (b << 16);
}

} // namespace

SpectrumPlot::SpectrumPlot(CSpectrum& record) : record_(record), columns_(std::make_unique<PlotColumns>()) {}

SpectrumPlot::~SpectrumPlot() = default;

DisplayColours SpectrumPlot::DefaultColours() {
    DisplayColours c;
    c.cursor = Rgb(255, 150, 60);
    c.spectrum = Rgb(240, 230, 0);
    c.background = Rgb(0, 0, 0);
    c.roi = Rgb(40, 110, 220);
    return c;
}

// The record's view fields may come from anywhere (a file, a size change); every use clamps them.
int SpectrumPlot::Width() const {
    return std::clamp(record_.ViewWidth(), 1, std::max(record_.SoftSize(), 1));
}

int SpectrumPlot::First() const {
    return std::clamp(record_.FirstChannel(), 0, std::max(record_.SoftSize() - Width(), 0));
}

int SpectrumPlot::Last() const {
    return First() + Width() - 1;
}

void SpectrumPlot::Run(PlotCommand command) {
    switch (command) {
    case PlotCommand::Linear:
        scale_.SetLinear();
        break;
    case PlotCommand::Logarithmic:
        scale_.SetLogarithmic();
        break;
    case PlotCommand::AutoVertical:
        scale_.ToggleAuto();
        break;
    case PlotCommand::ExpandVertical:
        scale_.Step(-1);
        break;
    case PlotCommand::CompressVertical:
        scale_.Step(+1);
        break;
    case PlotCommand::ExpandAroundCursor:
        SetView(Width() / 2, true);
        break;
    case PlotCommand::CompressAroundCursor:
        SetView(Width() * 2, true);
        break;
    case PlotCommand::ExpandFromLeft:
        SetView(Width() / 2, false);
        break;
    case PlotCommand::CompressFromLeft:
        SetView(Width() * 2, false);
        break;
    case PlotCommand::FullSpectrum:
        SetView(record_.SoftSize(), true);
        break;
    }
}

bool SpectrumPlot::Checked(PlotCommand command) const {
    switch (command) {
    case PlotCommand::Linear:
        return scale_.Linear();
    case PlotCommand::Logarithmic:
        return !scale_.Linear();
    case PlotCommand::AutoVertical:
        return scale_.Auto();
    default:
        return false;
    }
}

void SpectrumPlot::SetView(int width, bool recentre) {
    const int soft = std::max(record_.SoftSize(), 1);
    width = std::min(std::max(width, kMinWidth), soft);
    int cursor = record_.Cursor();
    int first = recentre ? cursor - width / 2 : record_.FirstChannel();
    first = std::max(first, 0);
    int last = first + width - 1;
    if (last >= soft) {
        last = soft - 1;
        first = soft - width;
        if (recentre)
            cursor = soft - width / 2 - 1;
    }
    record_.SetView(first, last);
    record_.SetCursor(std::clamp(cursor, first, last));
}

void SpectrumPlot::ScrollTo(int first) {
    const int width = Width();
    record_.SetView(first, first + width - 1);
    SetView(width, false);
}

void SpectrumPlot::MoveCursor(int channel) {
    record_.SetCursor(std::clamp(channel, First(), Last()));
}

void SpectrumPlot::NextStyle() {
    style_ = static_cast<DrawingStyle>((static_cast<int>(style_) + 1) % 4);
}

void SpectrumPlot::SetClientRect(int left, int top, int right, int bottom) {
    geometry_ = PlotGeometry::FromClient(left, top, right, bottom);
}

int SpectrumPlot::ChannelAt(int x) const {
    return geometry_.ChannelAt(x, First(), Width());
}

int SpectrumPlot::CursorX() const {
    return geometry_.ChannelX(std::clamp(record_.Cursor(), First(), Last()), First(), Width());
}

int SpectrumPlot::PenWidth() const {
    if (style_ != DrawingStyle::Dots)
        return 1;
    return std::clamp(geometry_.ChannelPixels(Width()), 1, 20);
}

void SpectrumPlot::ButtonDown(int x, bool left) {
    const bool otherHeld = left ? rightHeld_ : leftHeld_;
    (left ? leftHeld_ : rightHeld_) = true;
    pointerHidden_ = true;
    outside_ = 0;
    MoveCursor(ChannelAt(x));
    if (otherHeld) {
        // Left then right marks, right then left erases.
        marker_.Start(record_, left ? RoiMarker::Action::Erase : RoiMarker::Action::Mark, record_.Cursor());
        ++marksVersion_;
    }
}

void SpectrumPlot::ButtonUp(bool left) {
    (left ? leftHeld_ : rightHeld_) = false;
    marker_.End();
    pointerHidden_ = false;
}

void SpectrumPlot::LeftButtonDown(int x) {
    ButtonDown(x, true);
}

void SpectrumPlot::RightButtonDown(int x) {
    ButtonDown(x, false);
}

void SpectrumPlot::LeftButtonUp() {
    ButtonUp(true);
}

void SpectrumPlot::RightButtonUp() {
    ButtonUp(false);
}

void SpectrumPlot::Extend() {
    if (marker_.ExtendTo(record_, record_.Cursor(), mode_))
        ++marksVersion_;
}

void SpectrumPlot::OutsideMove(int direction) {
    const int width = Width();
    const int step = width < 128 ? 1 : width / 64;
    ScrollTo(First() + direction * step);
    record_.SetCursor(direction < 0 ? First() : Last());
}

void SpectrumPlot::MouseMove(int x) {
    if (!leftHeld_ && !rightHeld_)
        return;
    const int side = x < geometry_.left ? -1 : (x >= geometry_.right ? 1 : 0);
    if (side == 0) {
        outside_ = 0;
        MoveCursor(ChannelAt(x));
        Extend();
        return;
    }
    marker_.End();
    // Only a move further out than the previous one scrolls, so holding the mouse still does not.
    const bool further = outside_ != side || (side < 0 ? x < outsideX_ : x > outsideX_);
    outside_ = side;
    if (further) {
        outsideX_ = x;
        OutsideMove(side);
    }
}

// A double-click stands for the second press: the button is down until its release arrives.
void SpectrumPlot::LeftDoubleClick() {
    leftHeld_ = true;
    Run(PlotCommand::ExpandAroundCursor);
}

void SpectrumPlot::RightDoubleClick() {
    rightHeld_ = true;
    Run(PlotCommand::CompressAroundCursor);
}

void SpectrumPlot::Wheel(int steps) {
    scale_.Step(steps);
}

void SpectrumPlot::StartKeyMarking(bool shift, bool ctrl) {
    if (marker_.Active() || (!shift && !ctrl))
        return;
    marker_.Start(record_, shift ? RoiMarker::Action::Mark : RoiMarker::Action::Erase, record_.Cursor());
    ++marksVersion_;
}

void SpectrumPlot::StepCursor(int direction) {
    const int step = repeat_ / 16 + 1;
    repeat_ = std::min(repeat_ + 1, 255);
    const int target = record_.Cursor() + direction * step;
    if (target < First() || target > Last())
        ScrollTo(First() + direction * step);
    MoveCursor(target);
}

void SpectrumPlot::KeyDown(PlotKey key, bool shift, bool ctrl) {
    switch (key) {
    case PlotKey::Left:
    case PlotKey::Right:
        StartKeyMarking(shift, ctrl);
        StepCursor(key == PlotKey::Left ? -1 : 1);
        if (shift || ctrl)
            Extend();
        break;
    case PlotKey::Up:
        scale_.Step(-1);
        break;
    case PlotKey::Down:
        scale_.Step(+1);
        break;
    case PlotKey::Home:
        Run(PlotCommand::FullSpectrum);
        break;
    case PlotKey::ZoomIn:
        Run(PlotCommand::ExpandAroundCursor);
        break;
    case PlotKey::ZoomOut:
        Run(PlotCommand::CompressAroundCursor);
        break;
    case PlotKey::NextStyle:
        NextStyle();
        break;
    }
}

void SpectrumPlot::KeyUp() {
    repeat_ = 0;
    marker_.End();
}

ScrollRange SpectrumPlot::Horizontal() const {
    const int width = Width();
    return {0, std::max(record_.SoftSize() - width, 0), width, First()};
}

ScrollRange SpectrumPlot::Vertical() const {
    return {0, scale_.MaxIndex(), 1, scale_.Index()};
}

void SpectrumPlot::HorizontalScroll(ScrollAction action, int thumb) {
    const int width = Width();
    switch (action) {
    case ScrollAction::LineBack:
        ScrollTo(First() - (width >> 4));
        break;
    case ScrollAction::LineForward:
        ScrollTo(First() + (width >> 4));
        break;
    case ScrollAction::PageBack:
        ScrollTo(First() - width / 2);
        break;
    case ScrollAction::PageForward:
        ScrollTo(First() + width / 2);
        break;
    case ScrollAction::Thumb:
        ScrollTo(thumb);
        break;
    }
}

void SpectrumPlot::VerticalScroll(ScrollAction action, int thumb) {
    switch (action) {
    case ScrollAction::LineBack:
    case ScrollAction::PageBack:
        scale_.Step(-1);
        break;
    case ScrollAction::LineForward:
    case ScrollAction::PageForward:
        scale_.Step(+1);
        break;
    case ScrollAction::Thumb:
        scale_.SetIndex(thumb);
        break;
    }
}

AxisLabels SpectrumPlot::Labels() const {
    const int first = First();
    const int centre = first + Width() / 2;
    const int last = Last();
    const DisplayCalibration cal = DisplayCalibration::Of(record_);
    if (cal.calibrated)
        return {Format("%-9.2f ", cal.Energy(first)), Format("%9.2f ", cal.Energy(centre)),
                Format("%9.2f ", cal.Energy(last))};
    return {Format("%-6d ", first), Format("%6d ", centre), Format("%6d ", last)};
}

std::string SpectrumPlot::CursorStatusText() const {
    const int cursor = record_.Cursor();
    const bool inside = cursor >= 0 && cursor < record_.SoftSize();
    const std::uint32_t count = inside ? record_.SoftCounts()[static_cast<std::size_t>(cursor)] : 0u;
    return Format("CURSOR: %-6d  COUNTS: %-10lu", cursor, static_cast<unsigned long>(count));
}

SpectrumPlot::DrawnState SpectrumPlot::Current() const {
    return {geometry_, Width(), record_.SoftSize(), style_, colours_, scale_.Linear(), scale_.Index()};
}

bool SpectrumPlot::NeedsFullRedraw() const {
    return !drawnValid_ || !(drawn_ == Current());
}

bool SpectrumPlot::Reduce() {
    const std::int64_t minY = columns_->Reduce(record_, geometry_, First(), Width(), scale_);
    return scale_.Adjust(minY, geometry_);
}

bool SpectrumPlot::ReduceAndSettle() {
    // Each round at least halves or doubles the height, so eight rounds settle any count.
    bool changed = false;
    for (int round = 0; round < 8 && Reduce(); ++round)
        changed = true;
    return changed;
}

void SpectrumPlot::CommitFull() {
    columns_->Commit();
    drawn_ = Current();
    drawnValid_ = true;
}

} // namespace orvane
