#include "analysis/StabilizerWindows.h"

#include "analysis/PeakAnalysis.h"
#include "analysis/TextFormat.h"
#include "session/ParameterMap.h"
#include "shell/Host.h"
#include "spectrum/CSpectrum.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace orvane {

namespace {

constexpr const char* kSizesDiffer = "Please, set the spectrum soft size equal to the spectrum hard size!";
constexpr const char* kNotInRoi = "Please, place the cursor within the ROI of the stabilization peak!";
constexpr const char* kNoDistinctPeak =
    "Please, select an ROI of a distinctive peak and far from the spectrum boundaries!";

bool CursorInRoi(const CSpectrum& s) {
    const int cursor = s.Cursor();
    return cursor >= 0 && cursor < s.SoftSize() && s.SoftMarks()[static_cast<std::size_t>(cursor)] != 0;
}

// A quarter of the FWHM in whole channels, at least 1 (also for a width that is not a positive number).
long QuarterWidth(double fwhm) {
    if (!(fwhm > 0.0) || !std::isfinite(fwhm))
        return 1;
    const double quarter = std::trunc(std::min(fwhm * 0.25, 65535.0));
    return quarter < 1.0 ? 1 : static_cast<long>(quarter);
}

} // namespace

void StabilizerWindows::Tell(const std::string& text) {
    host_.MessageBox(text, "", MessageIcon::None, MessageButtons::Ok);
}

bool StabilizerWindows::Open(const CSpectrum& active, const CSpectrum& buffer) {
    if (!link_.connected || !link_.connected()) {
        Tell("Please, connect a device!");
        return false;
    }
    if (active.SoftSize() != active.HardSize()) {
        Tell(kSizesDiffer);
        return false;
    }
    const RegisterImage& image = buffer.Image();
    fields_[kOuterLeft] = Format("%u", image.Get(reg::kStabilizer) & 0x7FFFu);
    fields_[kInnerLeft] = Format("%u", static_cast<unsigned>(image.Get(reg::kStabilizer + 1)));
    fields_[kInnerRight] = Format("%u", static_cast<unsigned>(image.Get(reg::kStabilizer + 2)));
    fields_[kOuterRight] = Format("%u", static_cast<unsigned>(image.Get(reg::kStabilizer + 3)));
    return true;
}

bool StabilizerWindows::RecommendWindows(CSpectrum& active) {
    if (active.SoftSize() != active.HardSize()) {
        Tell(kSizesDiffer);
        return false;
    }
    if (!CursorInRoi(active)) {
        Tell(kNotInRoi);
        return false;
    }
    // The stored analysis is normally the pane's latest; one made for another ROI is made again here.
    const PeakFigures* peak = &active.Peak();
    if (!peak->inRoi || active.Cursor() < peak->left || active.Cursor() > peak->right) {
        AnalysePeak(active);
        peak = &active.Peak();
    }
    if (!peak->HasCentroid()) {
        Tell(kNoDistinctPeak);
        return false;
    }
    const long q = QuarterWidth(peak->fwhm);
    const long p = static_cast<long>(std::trunc(peak->centroid));
    // Every edge must lie inside the spectrum; the outer right one is the first to leave it.
    if (p - 2 * q < 0 || p - q < 0 || p + q > active.HardSize() || p + 2 * q > active.HardSize() - 1) {
        Tell(kNoDistinctPeak);
        return false;
    }
    fields_[kOuterLeft] = Format("%ld", p - 2 * q);
    fields_[kInnerLeft] = Format("%ld", p - q);
    fields_[kInnerRight] = Format("%ld", p + q);
    fields_[kOuterRight] = Format("%ld", p + 2 * q);
    return true;
}

bool StabilizerWindows::ParseChannel(const std::string& text, int& value) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    const std::size_t digits = i;
    long v = 0;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9' && v <= kMaxChannel)
        v = v * 10 + (text[i++] - '0');
    const bool any = i > digits;
    while (i < text.size() && text[i] == ' ')
        ++i;
    if (!any || i != text.size() || v > kMaxChannel)
        return false;
    value = static_cast<int>(v);
    return true;
}

bool StabilizerWindows::ApplyWindows(CSpectrum& buffer) {
    RegisterImage& image = buffer.Image();
    image.SetSettled(false);
    std::array<int, 4> edges{};
    for (int e = kOuterLeft; e <= kOuterRight; ++e) {
        if (!ParseChannel(fields_[static_cast<std::size_t>(e)], edges[static_cast<std::size_t>(e)])) {
            // Nothing is stored, so read-backs may update the image again.
            image.SetSettled(true);
            Tell(Format("Please, enter a channel from 0 to %d for each window edge!", kMaxChannel));
            return false;
        }
    }
    if (!link_.responding || !link_.responding()) {
        image.SetSettled(true);
        return true;
    }
    // Word 64 is written whole: its enable bit 15 ends up clear and the stabilizer is off afterwards.
    image.Set(reg::kStabilizer, static_cast<std::uint16_t>(edges[kOuterLeft]));
    image.Set(reg::kStabilizer + 1, static_cast<std::uint16_t>(edges[kInnerLeft]));
    image.Set(reg::kStabilizer + 2, static_cast<std::uint16_t>(edges[kInnerRight]));
    image.Set(reg::kStabilizer + 3, static_cast<std::uint16_t>(edges[kOuterRight]));
    if (!(link_.loggerRunning && link_.loggerRunning()) && link_.writeParameters)
        link_.writeParameters();
    return true;
}

} // namespace orvane
