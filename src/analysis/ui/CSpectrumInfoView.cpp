#include "analysis/ui/CSpectrumInfoView.h"

#include "analysis/CalibrationModel.h"
#include "analysis/SpectrumInfoModel.h"
#include "spectrum/CSpectrum.h"

#include "shell/ui/PaneLook.h"
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QSignalBlocker>

#include <QVBoxLayout>

namespace orvane {

using pane::Show;

namespace {

// One label width in every group, so the fields of all four line up.
QLabel* FieldLabel(const char* text) {
    auto* label = new QLabel(QString::fromLatin1(text));
    label->setMinimumWidth(label->fontMetrics().horizontalAdvance(QStringLiteral("RESOLUTION %")) + 8);
    return label;
}

QGroupBox* Group(const char* title, QGridLayout*& grid) {
    QGroupBox* box = pane::Group(title, grid);
    grid->setColumnStretch(1, 1);
    return box;
}

} // namespace

CSpectrumInfoView::CSpectrumInfoView(SpectrumInfoModel& info, CalibrationModel& calibration, QWidget* parent)
    : QWidget(parent), info_(info), calibration_(calibration) {
    pane::ApplyPalette(*this);
    QPalette look = palette();
    look.setColor(QPalette::Base, pane::kBackground);
    setPalette(look);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->setSpacing(6);
    layout->addWidget(CursorGroup());
    layout->addWidget(PeakGroup());
    layout->addWidget(TimeGroup());
    layout->addWidget(RateGroup());
    layout->addStretch(1);
    Refresh();
}

QLineEdit* CSpectrumInfoView::AddField(QGridLayout* grid, int row, const char* label, const char* name,
                                       QLabel** unit, const char* unitText) {
    grid->addWidget(FieldLabel(label), row, 0);
    auto* field = new QLineEdit;
    field->setObjectName(QString::fromLatin1(name));
    field->setReadOnly(true);
    field->setFocusPolicy(Qt::ClickFocus); // a value can still be selected and copied
    field->setAlignment(Qt::AlignRight);
    field->setMinimumWidth(field->fontMetrics().horizontalAdvance(QStringLiteral("00000000000")) + 12);
    grid->addWidget(field, row, 1);
    auto* unitLabel = new QLabel(QString::fromLatin1(unitText));
    unitLabel->setMinimumWidth(unitLabel->fontMetrics().horizontalAdvance(QStringLiteral("keV")) + 4);
    grid->addWidget(unitLabel, row, 2);
    if (unit)
        *unit = unitLabel;
    return field;
}

QWidget* CSpectrumInfoView::CursorGroup() {
    QGridLayout* grid = nullptr;
    QGroupBox* box = Group("CURSOR", grid);
    fields_.position = AddField(grid, 0, "POSITION", "position", &fields_.positionUnit);
    fields_.counts = AddField(grid, 1, "COUNTS", "counts", nullptr);
    return box;
}

QWidget* CSpectrumInfoView::PeakGroup() {
    QGridLayout* grid = nullptr;
    QGroupBox* box = Group("PEAK INFO", grid);
    cal_ = new QCheckBox(QStringLiteral("CAL"));
    cal_->setObjectName(QStringLiteral("cal"));
    connect(cal_, &QCheckBox::clicked, this, [this](bool checked) { OnCalClicked(checked); });
    grid->addWidget(cal_, 0, 1, 1, 2, Qt::AlignRight);
    fields_.centroid = AddField(grid, 1, "CENTROID", "centroid", &fields_.centroidUnit);
    fields_.fwhm = AddField(grid, 2, "FWHM", "fwhm", &fields_.fwhmUnit);
    fields_.fwtm = AddField(grid, 3, "FWTM", "fwtm", &fields_.fwtmUnit);
    fields_.resolution = AddField(grid, 4, "RESOLUTION %", "resolution", nullptr);
    fields_.integral = AddField(grid, 5, "INTEGRAL", "integral", nullptr);
    fields_.area = AddField(grid, 6, "AREA", "area", nullptr);
    return box;
}

QWidget* CSpectrumInfoView::TimeGroup() {
    QGridLayout* grid = nullptr;
    QGroupBox* box = Group("TIME", grid);
    fields_.real = AddField(grid, 0, "REAL", "real", nullptr);
    fields_.live = AddField(grid, 1, "LIVE", "live", nullptr);
    fields_.dead = AddField(grid, 2, "DEAD %", "dead", nullptr);
    return box;
}

QWidget* CSpectrumInfoView::RateGroup() {
    QGridLayout* grid = nullptr;
    QGroupBox* box = Group("COUNTING RATE", grid);
    fields_.throughput = AddField(grid, 0, "THROUGHPUT", "throughput", nullptr, "cps");
    fields_.incoming = AddField(grid, 1, "INCOMING", "incoming", nullptr, "cps");
    grid->addWidget(FieldLabel("LOSSES %"), 2, 0);
    losses_ = new QProgressBar;
    losses_->setObjectName(QStringLiteral("losses"));
    losses_->setRange(0, 100);
    losses_->setTextVisible(false);
    losses_->setMaximumHeight(14);
    grid->addWidget(losses_, 2, 1, 1, 2);
    grid->addWidget(LossesScale(), 3, 1, 1, 2);
    return box;
}

QWidget* CSpectrumInfoView::LossesScale() {
    auto* scale = new QWidget;
    auto* row = new QHBoxLayout(scale);
    row->setContentsMargins(0, 0, 0, 0);
    QFont small = font();
    small.setPointSizeF(small.pointSizeF() * 0.85);
    // The marks with equal gaps between them, so they stand at the bar's fifths.
    for (int mark = 0; mark <= 100; mark += 20) {
        if (mark > 0)
            row->addStretch(1);
        auto* label = new QLabel(QString::number(mark));
        label->setFont(small);
        row->addWidget(label);
    }
    return scale;
}

void CSpectrumInfoView::Update(CSpectrum& active) {
    info_.UpdateInfo(active);
    Refresh();
}

void CSpectrumInfoView::Refresh() {
    const SpectrumInfoModel::Fields& f = info_.Get();
    for (QLabel* unit : {fields_.positionUnit, fields_.centroidUnit, fields_.fwhmUnit, fields_.fwtmUnit})
        Show(unit, f.unitLabel);
    Show(fields_.position, f.position);
    Show(fields_.counts, f.counts);
    Show(fields_.centroid, f.centroid);
    Show(fields_.fwhm, f.fwhm);
    Show(fields_.fwtm, f.fwtm);
    Show(fields_.resolution, f.resolution);
    Show(fields_.integral, f.integral);
    Show(fields_.area, f.area);
    Show(fields_.real, f.real);
    Show(fields_.live, f.live);
    Show(fields_.dead, f.dead);
    Show(fields_.throughput, f.throughput);
    Show(fields_.incoming, f.incoming);
    if (losses_->value() != f.losses)
        losses_->setValue(f.losses);
    if (cal_->isChecked() != f.cal) {
        const QSignalBlocker quiet(cal_);
        cal_->setChecked(f.cal);
    }
}

void CSpectrumInfoView::OnCalClicked(bool checked) {
    calibration_.OnEnableCalibration(checked);
    // The pane follows at once rather than at the next tick: unit labels, formats and the box itself,
    // which springs back when the calibration could not be switched (no record shown).
    if (CSpectrum* active = calibration_.Active())
        info_.UpdateInfo(*active);
    Refresh();
    if (onCalibrationToggled)
        onCalibrationToggled();
}

} // namespace orvane
