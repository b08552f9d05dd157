#include "analysis/CalibrationModel.h"

#include "analysis/CalibrationFit.h"
#include "analysis/CalibrationSet.h"
#include "analysis/TextFormat.h"
#include "shell/Host.h"
#include "spectrum/CSpectrum.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace orvane {

namespace {

constexpr const char* kNeedTwoPoints = "Calibration requires at least two points";
constexpr const char* kNeedThreeChannels =
    "Please, use points on at least three different channels for a calibration with three or more points!";

// The whole text (blanks around it allowed) as a finite number.
bool ParseNumber(const std::string& text, double& value) {
    const char* begin = text.c_str();
    char* end = nullptr;
    errno = 0;
    value = std::strtod(begin, &end);
    if (end == begin || errno == ERANGE || !std::isfinite(value))
        return false;
    while (*end == ' ' || *end == '\t')
        ++end;
    return *end == '\0';
}

// Row order: ascending channel text, which reads as ascending channel for the texts "%8.2f" gives;
// comparing the texts' values keeps that order for any value a file may bring.
double SortValue(const std::string& text) {
    const double v = std::atof(text.c_str());
    return std::isnan(v) ? HUGE_VAL : v; // a damaged value sorts last
}

bool ChannelBefore(const std::string& x, const std::string& y) {
    const double vx = SortValue(x), vy = SortValue(y);
    if (vx != vy)
        return vx < vy;
    return x < y;
}

} // namespace

bool CalibrationModel::PlotVisible() const {
    return active_ != nullptr && active_->Shown();
}

void CalibrationModel::Tell(const std::string& text) {
    host_.MessageBox(text, "", MessageIcon::None, MessageButtons::Ok);
}

void CalibrationModel::Redraw() {
    active_->SetNeedsRefresh(true);
    if (requestFullRedraw)
        requestFullRedraw();
}

void CalibrationModel::InsertRow(Row row) {
    const auto at =
        std::upper_bound(rows_.begin(), rows_.end(), row.channel,
                         [](const std::string& c, const Row& r) { return ChannelBefore(c, r.channel); });
    rows_.insert(at, std::move(row));
}

int CalibrationModel::Rebuild(CalibrationSet& set, int factor) const {
    int checked = 0;
    for (std::size_t i = 0; i < CalibrationSet::kSlots; ++i) {
        if (i < rows_.size()) {
            set.channel[i] = std::atof(rows_[i].channel.c_str()) * factor;
            set.energy[i] = std::atof(rows_[i].energy.c_str());
            set.use[i] = rows_[i].checked ? 1 : 0;
            checked += set.use[i];
        } else {
            set.channel[i] = set.energy[i] = 0.0;
            set.use[i] = 0;
        }
    }
    set.count = static_cast<int>(rows_.size());
    return set.useAll == 1 ? set.count : checked;
}

void CalibrationModel::RebuildBoth() {
    const int input = active_->SelectedInput();
    Rebuild(active_->StoredCalibration(input), active_->BinningFactor());
    Rebuild(active_->WorkingCalibration(input), 1);
}

void CalibrationModel::SetRowChecked(std::size_t row, bool checked) {
    if (row < rows_.size())
        rows_[row].checked = checked;
}

void CalibrationModel::OnCursor() {
    if (active_)
        channelText_ = Format("%d", active_->Cursor());
}

void CalibrationModel::OnPeak() {
    if (!active_)
        return;
    const PeakFigures& peak = active_->Peak();
    if (!peak.HasCentroid()) {
        Tell("Please, place the cursor within the ROI of a peak!");
        return;
    }
    channelText_ = Format("%8.2f", peak.centroid);
}

void CalibrationModel::OnUnitSelected(int index) {
    if (!PlotVisible())
        return;
    const int count = static_cast<int>(CalibrationUnitNames().size());
    selectedUnit_ = index >= 0 && index < count ? index : 0;
    const int input = active_->SelectedInput();
    active_->StoredCalibration(input).units = selectedUnit_;
    active_->WorkingCalibration(input).units = selectedUnit_;
    Redraw();
}

void CalibrationModel::OnEnableCalibration(bool enabled) {
    if (!PlotVisible())
        return;
    enableChecked_ = enabled;
    const int input = active_->SelectedInput();
    active_->StoredCalibration(input).enabled = enabled ? 1 : 0;
    active_->WorkingCalibration(input).enabled = enabled ? 1 : 0;
    Redraw();
}

void CalibrationModel::OnAddPoint() {
    if (!PlotVisible())
        return;
    if (rows_.size() >= kMaxRows) {
        Tell(Format("Maximum number of %d points has been reached", static_cast<int>(kMaxRows)));
        return;
    }
    double channel = 0.0, energy = 0.0;
    const int lastChannel = active_->SoftSize() - 1;
    if (!ParseNumber(channelText_, channel) || channel < 0.0 || channel > lastChannel) {
        Tell(Format("Please, enter a CHANNEL from 0 to %d!", lastChannel));
        return;
    }
    if (!ParseNumber(energyText_, energy)) {
        Tell("Please, enter a number for the ENERGY!");
        return;
    }
    InsertRow(Row{Format("%8.2f", channel), Format("%8.4f", energy), false});
    RebuildBoth();
    channelText_.clear();
    energyText_.clear();
}

void CalibrationModel::OnEditSelected() {
    if (!PlotVisible())
        return;
    const auto row = std::find_if(rows_.begin(), rows_.end(), [](const Row& r) { return r.checked; });
    if (row == rows_.end())
        return;
    channelText_ = row->channel.substr(0, kMaxFieldText);
    energyText_ = row->energy.substr(0, kMaxFieldText);
    rows_.erase(row);
    RebuildBoth();
}

void CalibrationModel::OnRemoveSelected() {
    if (!PlotVisible())
        return;
    std::erase_if(rows_, [](const Row& r) { return r.checked; });
    RebuildBoth();
}

void CalibrationModel::OnRemoveAll() {
    if (!PlotVisible())
        return;
    rows_.clear();
    RebuildBoth();
}

void CalibrationModel::OnCalibrateSelected() {
    if (!PlotVisible())
        return;
    Calibrate(0);
    Redraw();
}

void CalibrationModel::OnCalibrateAll() {
    if (!PlotVisible())
        return;
    Calibrate(1);
    Redraw();
}

void CalibrationModel::OnListFocusLost() {
    if (PlotVisible())
        RebuildBoth();
}

bool CalibrationModel::Calibrate(int useAll) {
    return active_ != nullptr && Fit(useAll, false);
}

bool CalibrationModel::Fit(int useAll, bool quiet) {
    const int input = active_->SelectedInput();
    CalibrationSet& stored = active_->StoredCalibration(input);
    CalibrationSet& working = active_->WorkingCalibration(input);
    stored.useAll = useAll;
    Rebuild(stored, active_->BinningFactor());
    working.useAll = useAll;
    const int used = Rebuild(working, 1);
    if (used <= 1) {
        if (!quiet)
            Tell(kNeedTwoPoints);
        ShowCoefficients("CALIBRATION");
        return false;
    }
    std::vector<CalibrationPoint> points;
    for (int i = 0; i < working.count; ++i)
        if (working.use[i] != 0 || useAll == 1)
            points.push_back({working.channel[i], working.energy[i]});
    CalibrationCoefficients fit{working.a, working.b, working.c};
    if (!FitCalibration(points, fit)) {
        // Points on fewer than three channels leave the quadratic undetermined: keep what was there.
        if (!quiet)
            Tell(kNeedThreeChannels);
        ShowCoefficients("CALIBRATION");
        return false;
    }
    working.a = fit.a;
    working.b = fit.b;
    working.c = fit.c;
    ShowFitCaption();
    return true;
}

void CalibrationModel::ShowCoefficients(const std::string& caption) {
    const CalibrationSet& working = active_->WorkingCalibration(active_->SelectedInput());
    aText_ = Format("a = %8.4f", working.a);
    bText_ = Format("b = %8.4f", working.b);
    cText_ = Format("c = %8.4f", working.c);
    caption_ = caption;
}

void CalibrationModel::ShowFitCaption() {
    const CalibrationSet& working = active_->WorkingCalibration(active_->SelectedInput());
    ShowCoefficients(working.useAll == 1 ? "CALIBRATION w/ ALL" : "CALIBRATION w/ SELECTED");
}

void CalibrationModel::ReloadCalibration() {
    rows_.clear();
    if (!active_)
        return;
    const int input = active_->SelectedInput();
    CalibrationSet& stored = active_->StoredCalibration(input);
    CalibrationSet& working = active_->WorkingCalibration(input);
    const double factor = active_->BinningFactor();
    stored.count = std::clamp(stored.count, 0, CalibrationSet::kMaxPoints);
    for (int i = 0; i < stored.count; ++i) {
        working.channel[i] = stored.channel[i] / factor;
        working.energy[i] = stored.energy[i];
        working.use[i] = stored.use[i];
        InsertRow(
            Row{Format("%8.2f", working.channel[i]), Format("%8.4f", working.energy[i]), stored.use[i] != 0});
    }
    working.count = stored.count;
    working.useAll = stored.useAll;
    if (stored.units < 0 || stored.units >= static_cast<int>(CalibrationUnitNames().size()))
        stored.units = 0;
    working.units = selectedUnit_ = stored.units;
    working.enabled = stored.enabled;
    enableChecked_ = stored.enabled != 0;
    // An activation is no moment for a message box: a file whose points cannot be fitted shows the
    // uncalibrated caption instead.
    if (Rebuild(working, 1) > 1)
        Fit(working.useAll, true);
    else if (working.count <= 1)
        ShowCoefficients("CALIBRATION");
    else
        ShowFitCaption();
    Redraw();
}

void CalibrationModel::ApplyCheckMarks() {
    if (!active_)
        return;
    const int input = active_->SelectedInput();
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        active_->StoredCalibration(input).use[i] = rows_[i].checked ? 1 : 0;
        active_->WorkingCalibration(input).use[i] = rows_[i].checked ? 1 : 0;
    }
}

} // namespace orvane
