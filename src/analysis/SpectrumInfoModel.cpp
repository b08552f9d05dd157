#include "analysis/SpectrumInfoModel.h"

#include "analysis/PeakAnalysis.h"
#include "analysis/TextFormat.h"
#include "session/AcquisitionFigures.h"
#include "session/ParameterMap.h"
#include "session/SamplePeriod.h"
#include "spectrum/CSpectrum.h"

#include <algorithm>
#include <cmath>

namespace orvane {

void SpectrumInfoModel::UpdateInfo(CSpectrum& active) {
    const bool refresh = active.NeedsRefresh();
    if (refresh) {
        display_ = DisplayCalibration::Of(active);
        fields_.unitLabel = display_.units;
        fields_.cal = display_.calibrated;
    }
    UpdateCursor(active, refresh);
    const PeakResult result = AnalysePeak(active);
    fields_.roiStatus = RoiStatusText(active.Peak());
    UpdatePeak(result, active.Peak(), refresh);
}

void SpectrumInfoModel::UpdateCursor(CSpectrum& active, bool refresh) {
    const int cursor = active.Cursor();
    const bool inside = cursor >= 0 && cursor < active.SoftSize();
    const std::uint32_t count = inside ? active.SoftCounts()[static_cast<std::size_t>(cursor)] : 0u;
    if (cursor == lastCursor_ && count == lastCount_ && !refresh)
        return;
    active.SetNeedsRefresh(false);
    const double energy = display_.Energy(cursor);
    fields_.position = display_.calibrated ? Format("%8.2f", energy) : Format("%8.0f", energy);
    fields_.counts = Format("%10lu", static_cast<unsigned long>(count));
    fields_.cursorStatus = Format("CURSOR: %-6d  COUNTS: %-10lu", cursor, static_cast<unsigned long>(count));
    lastCursor_ = cursor;
    lastCount_ = count;
}

void SpectrumInfoModel::UpdatePeak(PeakResult result, PeakFigures& figures, bool refresh) {
    switch (result) {
    case PeakResult::Peak: {
        figures.area = std::max(figures.area, 0.0);
        const ShownValues now{figures.area, figures.integral,  figures.centroid,
                              figures.fwhm, figures.halfFound, figures.tenthFound};
        if (shown_ != Shown::Peak || !(now == lastShown_) || refresh) {
            ShowPeak(figures);
            shown_ = Shown::Peak;
            lastShown_ = now;
        }
        break;
    }
    case PeakResult::IntegralOnly:
        if (shown_ != Shown::IntegralOnly || figures.integral != lastShown_.integral || refresh) {
            ShowDashes(true);
            fields_.integral = Format("%5.0f", figures.integral);
            shown_ = Shown::IntegralOnly;
            lastShown_ = ShownValues{};
            lastShown_.integral = figures.integral;
        }
        break;
    case PeakResult::None:
        if (shown_ != Shown::Dashes) {
            ShowDashes(false);
            shown_ = Shown::Dashes;
            lastShown_ = ShownValues{};
        }
        break;
    }
}

void SpectrumInfoModel::ShowPeak(const PeakFigures& f) {
    fields_.integral = Format("%5.0f", f.integral);
    fields_.area = Format("%5.0f", f.area);
    if (f.halfFound) {
        const double centre = display_.Energy(f.centroid);
        const double width = display_.Width(f.leftHalf, f.rightHalf);
        fields_.centroid = Format("%8.2f", centre);
        fields_.fwhm = Format("%8.2f", width);
        fields_.resolution = Format("%8.2f", centre > 0.0 ? width * 100.0 / centre : 0.0);
    } else {
        // Without both crossings inside the ROI there is no width and no midpoint to show.
        fields_.centroid = fields_.fwhm = fields_.resolution = kDashes;
    }
    fields_.fwtm = f.tenthFound ? Format("%8.2f", display_.Width(f.leftTenth, f.rightTenth)) : kDashes;
}

void SpectrumInfoModel::ShowDashes(bool keepIntegral) {
    fields_.centroid = fields_.fwhm = fields_.fwtm = fields_.resolution = fields_.area = kDashes;
    if (!keepIntegral)
        fields_.integral = kDashes;
}

void SpectrumInfoModel::UpdateTimesAndRates(const RegisterImage& image) {
    const AcquisitionFigures times = ComputeAcquisitionFigures(image);
    fields_.real = Format("%10.2f", times.realSeconds);
    fields_.live = Format("%10.2f", times.liveSeconds);
    fields_.dead = Format("%3.1f", times.deadPercent);
    const double periodUs =
        SamplePeriod::NanosecondsFor(SamplePeriod::ClockCodeOf(image.Get(reg::kPlatform))) / 1000.0;
    const double output = RateA(image, periodUs);
    const double incoming = std::max(output, RateB(image, periodUs));
    // 64 bits: one window of 65535 counts at 6.25 ns is over 5·10⁹ cps.
    fields_.throughput = Format("%lld", static_cast<long long>(output));
    fields_.incoming = Format("%lld", static_cast<long long>(incoming));
    fields_.losses = incoming > 5.0 ? static_cast<int>((incoming - output) * 100.0 / incoming) : 0;
}

} // namespace orvane
