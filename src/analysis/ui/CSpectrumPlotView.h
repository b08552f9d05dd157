#pragma once

#include "analysis/SpectrumPlot.h"
#include "analysis/ui/PlotPainter.h"

#include <QString>
#include <QWidget>

#include <cstdint>
#include <string>

class QScrollBar;

namespace orvane {

class CSpectrum;

// The plot of one record with its two scroll bars. It turns Qt's events into calls on the record's
// `SpectrumPlot` and shows what the `PlotPainter` drew; it decides nothing itself.
class CSpectrumPlotView : public QWidget {
    Q_OBJECT
public:
    explicit CSpectrumPlotView(CSpectrum& record, QWidget* parent = nullptr);

    SpectrumPlot& Plot() { return plot_; }
    CSpectrum& Record() { return plot_.Record(); }
    const QImage& Canvas() const { return painter_.Canvas(); }

    // Draws what changed (new counts, cursor, marks, view, scale), everything when that is needed, keeps
    // the scroll bars in step and tells the status texts.
    void Refresh();
    // The next drawing is a full one (colours, calibration, a new record content).
    void RequestFullRedraw();

    const QString& CursorStatus() const { return cursorStatus_; }
    const QString& RoiStatus() const { return roiStatus_; }

signals:
    void cursorStatusChanged(const QString& text);
    void roiStatusChanged(const QString& text);
    // The cursor moved or ROI marks changed: the information pane follows.
    void cursorMoved();
    // The plot got the input focus and re-applied the record's sizes: the size selectors follow.
    void focused();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

private:
    QSize ClientSize() const;
    void SyncScrollBars();
    void UpdateStatus();
    void AfterInput();
    void OnHorizontalAction(int action);
    void OnVerticalAction(int action);

    SpectrumPlot plot_;
    PlotPainter painter_;
    QScrollBar* horizontal_;
    QScrollBar* vertical_;
    int wheelDelta_ = 0;
    int lastCursor_ = -1;
    std::uint64_t lastMarks_ = 0;
    QString cursorStatus_, roiStatus_;
};

} // namespace orvane
