#pragma once

#include "analysis/DisplayColours.h"
#include "analysis/SpectrumPlot.h"
#include "analysis/ui/CColorDlg.h"

#include <QImage>
#include <QWidget>

#include <functional>

class QTabWidget;

namespace orvane {

class CSpectrum;
class CSpectrumPlotView;
struct Spectra;

// The "Spectrum" pane: the tabs "BUFFER" and "FILE", one plot per record. Switching tabs hides one record,
// shows the other and makes it the active spectrum. The window calls the plot commands, the timer repaint,
// the ROI mode and the colours through here.
class CSpectrumWnd : public QWidget {
    Q_OBJECT
public:
    // Runs the colour dialog modally; the default is exec(). Tests answer it instead.
    using ColourDialogRunner = std::function<void(CColorDlg&)>;

    explicit CSpectrumWnd(Spectra& spectra, QWidget* parent = nullptr);

    CSpectrumPlotView& View(const CSpectrum& record);
    CSpectrumPlotView& ActiveView();
    SpectrumPlot& Plot(const CSpectrum& record);
    QTabWidget* Tabs() const { return tabs_; }

    // Selects the record's tab (and so makes it shown and active).
    void ShowRecord(CSpectrum& record);
    CSpectrum& ShownRecord() const;

    // The link timer's repaint of the active plot: only what the new counts changed.
    void Tick();
    // Draws both plots from scratch at the next repaint (calibration or a loaded file changed them).
    void RedrawAll();

    // The view-control toolbar, on the active plot, and its check marks.
    void RunCommand(PlotCommand command);
    bool CommandChecked(PlotCommand command) const;

    // "Mark Over" or "From Cursor", for both plots.
    void SetRoiMode(RoiMode mode);
    RoiMode GetRoiMode() const { return roiMode_; }

    DisplayColours Colours(const CSpectrum& record) const;
    void SetColours(const CSpectrum& record, const DisplayColours& colours);

    // "ADJUST COLORS" for the active record.
    void AdjustColours();
    void SetColourDialogRunner(ColourDialogRunner runner) { runDialog_ = std::move(runner); }
    void SetColourPicker(ColourPicker picker) { picker_ = std::move(picker); }

    // Copy Spectrum > Spectrum (the active plot) and > Window (the whole pane).
    QImage GrabSpectrum();
    QImage GrabWindow();

signals:
    // The shown record changed; it is now the active spectrum.
    void activeChanged(orvane::CSpectrum* active);
    // On the active plot: the cursor moved or marks changed (the information pane follows).
    void cursorMoved();
    void cursorStatusChanged(const QString& text);
    void roiStatusChanged(const QString& text);
    // A plot got the input focus: its record's sizes were applied again, and the acquisition panel's
    // soft-size entry should show the record's soft size.
    void plotFocused(orvane::CSpectrum* record);

private:
    void OnTabChanged(int index);
    CSpectrumPlotView& ViewAt(int index) const;
    CSpectrumPlotView& ViewOf(const CSpectrum& record) const;

    Spectra& spectra_;
    QTabWidget* tabs_;
    CSpectrumPlotView* buffer_;
    CSpectrumPlotView* file_;
    RoiMode roiMode_ = RoiMode::MarkOver;
    ColourDialogRunner runDialog_;
    ColourPicker picker_;
};

} // namespace orvane
