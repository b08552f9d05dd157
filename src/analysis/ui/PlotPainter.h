#pragma once

#include "analysis/SpectrumPlot.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPoint>
#include <QRect>

#include <string>
#include <vector>

class QPainter;

namespace orvane {

// Draws a plot into its canvas: everything after a full redraw, and otherwise only the column runs, labels
// and cursor that changed since the last drawing. The canvas keeps what was drawn, so a timer tick costs
// a few hundred columns, not a frame.
class PlotPainter {
public:
    explicit PlotPainter(SpectrumPlot& plot);

    const QImage& Canvas() const { return canvas_; }

    // Brings the canvas up to date for a client area of `size`; returns the part that changed.
    QRect Update(QSize size);
    QRect DrawFull(QSize size);

    static QColor ToColor(std::uint32_t bgr);

private:
    QRect DrawChanges();
    void DrawAxes(QPainter& p);
    void DrawScaleLabel(QPainter& p);
    void DrawAxisLabels(QPainter& p);
    void DrawColumns(QPainter& p, int from, int to);
    void DrawTopTick(QPainter& p);
    QRect XorCursor(int x);
    QColor ColumnColour(const PlotColumn& c) const { return c.roi ? roi_ : spectrum_; }
    void TakeColours();

    SpectrumPlot& plot_;
    QImage canvas_;
    QFont font_;
    QColor background_, spectrum_, roi_;
    QRgb cursorXor_ = 0;
    int drawnCursorX_ = -1;
    AxisLabels drawnLabels_;
    std::vector<QPoint> points_; // the line style's vertices, reserved once
};

} // namespace orvane
