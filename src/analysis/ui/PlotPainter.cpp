#include "analysis/ui/PlotPainter.h"

#include "analysis/PlotColumns.h"

#include <QPainter>

#include <algorithm>

namespace orvane {

PlotPainter::PlotPainter(SpectrumPlot& plot) : plot_(plot), font_("Arial") {
    font_.setPixelSize(16);
    font_.setBold(true);
    font_.setStyleHint(QFont::SansSerif);
    points_.reserve(PlotColumns::kMaxColumns + 1);
}

QColor PlotPainter::ToColor(std::uint32_t bgr) {
    return QColor(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF),
                  static_cast<int>((bgr >> 16) & 0xFF));
}

void PlotPainter::TakeColours() {
    const DisplayColours& c = plot_.Colours();
    background_ = ToColor(c.background);
    spectrum_ = ToColor(c.spectrum);
    roi_ = ToColor(c.roi);
    // The cursor is drawn with XOR, so drawing it twice takes it away; over the background it shows its
    // colour.
    cursorXor_ = (ToColor(c.cursor).rgb() ^ background_.rgb()) & 0x00FFFFFFu;
}

QRect PlotPainter::Update(QSize size) {
    if (canvas_.size() != size || plot_.NeedsFullRedraw())
        return DrawFull(size);
    return DrawChanges();
}

QRect PlotPainter::DrawFull(QSize size) {
    if (canvas_.size() != size)
        canvas_ = QImage(size.expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    plot_.SetClientRect(0, 0, size.width(), size.height());
    plot_.ReduceAndSettle();
    TakeColours();
    canvas_.fill(background_);
    {
        QPainter p(&canvas_);
        p.setFont(font_);
        DrawScaleLabel(p);
        DrawAxisLabels(p);
        DrawAxes(p);
        // Columns stay inside the plot, so a later redraw of a run covers all a column ever drew.
        const PlotGeometry& g = plot_.Geometry();
        p.setClipRect(
            QRect(QPoint(g.plotLeft, g.plotTop), QPoint(g.plotLeft + g.plotWidth - 1, g.plotBottom)));
        DrawColumns(p, 0, static_cast<int>(plot_.Columns().size()) - 1);
    }
    drawnCursorX_ = plot_.CursorX();
    XorCursor(drawnCursorX_);
    plot_.CommitFull();
    return canvas_.rect();
}

QRect PlotPainter::DrawChanges() {
    if (plot_.ReduceAndSettle() || plot_.NeedsFullRedraw())
        return DrawFull(canvas_.size());
    const PlotGeometry& g = plot_.Geometry();
    const auto columns = plot_.Columns();
    QRect dirty;
    QPainter p(&canvas_);
    p.setFont(font_);
    for (const ColumnRun& run : plot_.ChangedRuns()) {
        const QRect region(QPoint(columns[static_cast<std::size_t>(run.first)].left, g.plotTop),
                           QPoint(columns[static_cast<std::size_t>(run.last)].right, g.plotBottom));
        p.setClipRect(region);
        p.fillRect(region, background_);
        DrawColumns(p, std::max(run.first - 1, 0),
                    std::min(run.last + 1, static_cast<int>(columns.size()) - 1));
        DrawTopTick(p);
        if (drawnCursorX_ >= region.left() && drawnCursorX_ <= region.right()) {
            // The region was cleared over the whole plot height, cursor included: put it back.
            p.end();
            XorCursor(drawnCursorX_);
            p.begin(&canvas_);
            p.setFont(font_);
        }
        dirty |= region;
    }
    p.setClipping(false);
    plot_.CommitColumns();

    if (const AxisLabels labels = plot_.Labels(); labels != drawnLabels_) {
        const QRect strip(0, g.plotBottom + 9, canvas_.width(),
                          std::max(canvas_.height() - g.plotBottom - 9, 0));
        p.fillRect(strip, background_);
        DrawAxisLabels(p);
        dirty |= strip;
    }
    p.end();
    if (const int x = plot_.CursorX(); x != drawnCursorX_) {
        dirty |= XorCursor(drawnCursorX_); // takes the old line away
        dirty |= XorCursor(x);
        drawnCursorX_ = x;
    }
    return dirty;
}

void PlotPainter::DrawAxes(QPainter& p) {
    const PlotGeometry& g = plot_.Geometry();
    p.setPen(QPen(spectrum_, 1));
    p.drawLine(g.plotLeft - 1, g.plotTop, g.plotLeft - 1, g.plotBottom + 8);
    p.drawLine(g.plotLeft - 8, g.plotBottom + 1, g.plotRight, g.plotBottom + 1);
    DrawTopTick(p);
    for (const int x : {g.plotRight - 1, g.plotLeft + g.plotWidth / 4, g.plotLeft + g.plotWidth / 2,
                        g.plotLeft + 3 * g.plotWidth / 4})
        p.drawLine(x, g.plotBottom + 1, x, g.plotBottom + 8);
}

void PlotPainter::DrawTopTick(QPainter& p) {
    const PlotGeometry& g = plot_.Geometry();
    p.setPen(QPen(spectrum_, 1));
    p.drawLine(g.plotLeft - 4, g.plotTop, g.plotLeft + 4, g.plotTop);
}

void PlotPainter::DrawScaleLabel(QPainter& p) {
    const bool linear = plot_.Scale().Linear();
    const QString text = QString::fromStdString(plot_.ScaleLabel());
    const QPoint at = linear ? QPoint(4, 2) : QPoint(8, 1);
    // The label stays above the plot, where no column redraw reaches.
    const int height = std::min(p.fontMetrics().height(), plot_.Geometry().plotTop - at.y());
    const QRect box(at, QSize(p.fontMetrics().horizontalAdvance(text), std::max(height, 0)));
    p.fillRect(box, background_);
    p.setPen(spectrum_);
    p.drawText(box, Qt::AlignLeft | Qt::AlignTop, text);
}

void PlotPainter::DrawAxisLabels(QPainter& p) {
    const PlotGeometry& g = plot_.Geometry();
    const AxisLabels labels = plot_.Labels();
    const QFontMetrics& m = p.fontMetrics();
    const int y = g.plotBottom + 9;
    const auto draw = [&](const std::string& s, int anchor, int align) {
        const QString text = QString::fromStdString(s);
        const int w = m.horizontalAdvance(text);
        const int x = align < 0 ? anchor : (align == 0 ? anchor - w / 2 : anchor - w);
        const QRect box(x, y, w, m.height());
        p.fillRect(box, background_);
        p.drawText(box, Qt::AlignLeft | Qt::AlignTop, text);
    };
    p.setPen(spectrum_);
    draw(labels.left, g.plotLeft - 10, -1);
    draw(labels.centre, g.plotLeft + g.plotWidth / 2, 0);
    draw(labels.right, g.plotRight + 6, 1);
    drawnLabels_ = labels;
}

void PlotPainter::DrawColumns(QPainter& p, int from, int to) {
    const auto columns = plot_.Columns();
    if (from > to || columns.empty())
        return;
    const PlotGeometry& g = plot_.Geometry();
    switch (plot_.Style()) {
    case DrawingStyle::Dots: {
        const int pen = plot_.PenWidth();
        const int tall = std::max(pen, 3);
        for (int k = from; k <= to; ++k) {
            const PlotColumn& c = columns[static_cast<std::size_t>(k)];
            p.fillRect(c.x - pen / 2, c.top - tall / 2, pen, tall, ColumnColour(c));
        }
        break;
    }
    case DrawingStyle::Bars:
        for (int k = from; k <= to; ++k) {
            const PlotColumn& c = columns[static_cast<std::size_t>(k)];
            p.fillRect(c.left, c.top, c.right - c.left + 1, g.plotBottom - c.top + 1, ColumnColour(c));
        }
        break;
    case DrawingStyle::Steps:
        for (int k = from; k <= to; ++k) {
            const PlotColumn& c = columns[static_cast<std::size_t>(k)];
            const QColor colour = ColumnColour(c);
            p.fillRect(c.left, c.top, c.right - c.left + 1, 1, colour);
            if (k > 0) {
                const int previous = columns[static_cast<std::size_t>(k - 1)].top;
                p.fillRect(c.left, std::min(previous, c.top), 1, std::abs(previous - c.top) + 1, colour);
            }
        }
        break;
    case DrawingStyle::Line: {
        // One polyline per stretch of one colour; each segment takes the colour of the column it ends on.
        int k = from;
        while (k < to) {
            const bool roi = columns[static_cast<std::size_t>(k + 1)].roi;
            points_.clear();
            points_.emplace_back(columns[static_cast<std::size_t>(k)].x,
                                 columns[static_cast<std::size_t>(k)].top);
            while (k < to && columns[static_cast<std::size_t>(k + 1)].roi == roi) {
                ++k;
                points_.emplace_back(columns[static_cast<std::size_t>(k)].x,
                                     columns[static_cast<std::size_t>(k)].top);
            }
            p.setPen(QPen(roi ? roi_ : spectrum_, 1));
            p.drawPolyline(points_.data(), static_cast<int>(points_.size()));
        }
        if (from == to) {
            const PlotColumn& c = columns[static_cast<std::size_t>(from)];
            p.fillRect(c.x, c.top, 1, 1, ColumnColour(c));
        }
        break;
    }
    }
}

QRect PlotPainter::XorCursor(int x) {
    const PlotGeometry& g = plot_.Geometry();
    if (x < 0 || x >= canvas_.width())
        return {};
    const int top = std::max(g.plotTop, 0);
    const int bottom = std::min(g.plotBottom, canvas_.height() - 1);
    for (int y = top; y <= bottom; ++y)
        reinterpret_cast<QRgb*>(canvas_.scanLine(y))[x] ^= cursorXor_;
    return {x, top, 1, std::max(bottom - top + 1, 0)};
}

} // namespace orvane
