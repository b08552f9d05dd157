#include "analysis/ui/CSpectrumWnd.h"

#include "analysis/ColourDialogModel.h"
#include "analysis/ui/CSpectrumPlotView.h"
#include "session/Spectra.h"

#include <QTabWidget>
#include <QVBoxLayout>

namespace orvane {

CSpectrumWnd::CSpectrumWnd(Spectra& spectra, QWidget* parent)
    : QWidget(parent), spectra_(spectra), tabs_(new QTabWidget(this)),
      buffer_(new CSpectrumPlotView(spectra.buffer)), file_(new CSpectrumPlotView(spectra.file)) {
    qRegisterMetaType<orvane::CSpectrum*>();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(tabs_);
    tabs_->setTabPosition(QTabWidget::South);
    tabs_->setDocumentMode(true);
    tabs_->addTab(buffer_, "BUFFER");
    tabs_->addTab(file_, "FILE");
    for (CSpectrumPlotView* view : {buffer_, file_}) {
        view->Plot().SetMode(roiMode_);
        connect(view, &CSpectrumPlotView::cursorMoved, this, [this, view] {
            if (&ActiveView() == view)
                emit cursorMoved();
        });
        connect(view, &CSpectrumPlotView::focused, this, [this, view] { emit plotFocused(&view->Record()); });
        connect(view, &CSpectrumPlotView::cursorStatusChanged, this, [this, view](const QString& text) {
            if (&ActiveView() == view)
                emit cursorStatusChanged(text);
        });
        connect(view, &CSpectrumPlotView::roiStatusChanged, this, [this, view](const QString& text) {
            if (&ActiveView() == view)
                emit roiStatusChanged(text);
        });
    }
    connect(tabs_, &QTabWidget::currentChanged, this, &CSpectrumWnd::OnTabChanged);
    OnTabChanged(tabs_->currentIndex());
}

CSpectrumPlotView& CSpectrumWnd::ViewAt(int index) const {
    return index == 1 ? *file_ : *buffer_;
}

CSpectrumPlotView& CSpectrumWnd::ViewOf(const CSpectrum& record) const {
    return &record == &spectra_.file ? *file_ : *buffer_;
}

CSpectrumPlotView& CSpectrumWnd::View(const CSpectrum& record) {
    return ViewOf(record);
}

CSpectrumPlotView& CSpectrumWnd::ActiveView() {
    return View(*spectra_.active);
}

SpectrumPlot& CSpectrumWnd::Plot(const CSpectrum& record) {
    return View(record).Plot();
}

void CSpectrumWnd::ShowRecord(CSpectrum& record) {
    const int index = &record == &spectra_.file ? 1 : 0;
    if (tabs_->currentIndex() != index)
        tabs_->setCurrentIndex(index); // OnTabChanged follows
    else if (spectra_.active != &record)
        OnTabChanged(index);
}

CSpectrum& CSpectrumWnd::ShownRecord() const {
    return ViewAt(tabs_->currentIndex()).Record();
}

void CSpectrumWnd::OnTabChanged(int index) {
    CSpectrumPlotView& shown = ViewAt(index);
    CSpectrumPlotView& hidden = ViewAt(index == 1 ? 0 : 1);
    // The active reference moves first, so whoever hears of the activation already sees the new record.
    spectra_.active = &shown.Record();
    hidden.Record().SetShown(false);
    shown.Record().SetShown(true);
    // Counts stored while the record was hidden were not folded.
    shown.Record().Fold();
    shown.RequestFullRedraw();
    shown.Refresh();
    emit activeChanged(spectra_.active);
    emit cursorStatusChanged(shown.CursorStatus());
    emit roiStatusChanged(shown.RoiStatus());
}

void CSpectrumWnd::Tick() {
    ActiveView().Refresh();
}

void CSpectrumWnd::RedrawAll() {
    for (CSpectrumPlotView* view : {buffer_, file_}) {
        view->RequestFullRedraw();
        view->update();
    }
    ActiveView().Refresh();
}

void CSpectrumWnd::RunCommand(PlotCommand command) {
    CSpectrumPlotView& view = ActiveView();
    view.Plot().Run(command);
    view.Refresh();
    emit cursorMoved();
}

bool CSpectrumWnd::CommandChecked(PlotCommand command) const {
    return ViewOf(*spectra_.active).Plot().Checked(command);
}

void CSpectrumWnd::SetRoiMode(RoiMode mode) {
    roiMode_ = mode;
    buffer_->Plot().SetMode(mode);
    file_->Plot().SetMode(mode);
}

DisplayColours CSpectrumWnd::Colours(const CSpectrum& record) const {
    return ViewOf(record).Plot().Colours();
}

void CSpectrumWnd::SetColours(const CSpectrum& record, const DisplayColours& colours) {
    CSpectrumPlotView& view = View(record);
    view.Plot().SetColours(colours);
    view.update();
    if (&view == &ActiveView())
        view.Refresh();
}

void CSpectrumWnd::AdjustColours() {
    CSpectrumPlotView& view = ActiveView();
    ColourDialogModel model(view.Plot());
    model.changed = [&view] { view.Refresh(); };
    CColorDlg dialog(model, picker_, this);
    if (runDialog_)
        runDialog_(dialog);
    else
        dialog.exec();
}

QImage CSpectrumWnd::GrabSpectrum() {
    return ActiveView().grab().toImage();
}

QImage CSpectrumWnd::GrabWindow() {
    return grab().toImage();
}

} // namespace orvane
