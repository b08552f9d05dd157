#include "analysis/PeakAnalysis.h"

#include "spectrum/CSpectrum.h"

#include <algorithm>
#include <cstdio>

namespace orvane {

namespace {

// Net counts above the background line from the mean of three channels at each ROI end.
class NetCounts {
public:
    NetCounts(const CSpectrum::Counts& soft, int size, int left, int right)
        : soft_(soft), size_(size), left_(left), background_(EndMean(left)),
          slope_((EndMean(right) - background_) / (right - left)) {}

    double operator()(int j) const { return S(j) - ((j - left_) * slope_ + background_); }

private:
    double S(int k) const { return static_cast<double>(soft_[static_cast<std::size_t>(k)]); }
    // A neighbour outside the spectrum is replaced by the end channel itself.
    double EndMean(int k) const {
        const int below = k > 0 ? k - 1 : k;
        const int above = k < size_ - 1 ? k + 1 : k;
        return (S(below) + S(k) + S(above)) / 3.0;
    }

    const CSpectrum::Counts& soft_;
    int size_;
    int left_;
    double background_;
    double slope_;
};

struct Widths {
    bool found = false;
    double right = 0.0;
    double width = 0.0;
};

// The first channels on each side of the peak whose net counts fall below the level, interpolated
// linearly towards the neighbour nearer the peak.
Widths CrossingsAt(const NetCounts& net, int peak, int left, int right, double level) {
    Widths w;
    int j = peak;
    while (j <= right && net(j) >= level)
        ++j;
    if (j > right || j == peak)
        return w;
    const double downRight = net(j - 1) - net(j);
    w.right = downRight == 0.0 ? j : j - (level - net(j)) / downRight;
    j = peak;
    while (j >= left && net(j) >= level)
        --j;
    if (j < left || j == peak)
        return w;
    const double downLeft = net(j + 1) - net(j);
    w.width = downLeft == 0.0 ? w.right - j : w.right - j - (level - net(j)) / downLeft;
    w.found = true;
    return w;
}

} // namespace

PeakResult AnalysePeak(CSpectrum& spectrum) {
    PeakFigures& f = spectrum.Peak();
    const int n = spectrum.SoftSize();
    const auto& marks = spectrum.SoftMarks();
    const int cursor = spectrum.Cursor();
    f.inRoi = cursor >= 0 && cursor < n && marks[static_cast<std::size_t>(cursor)] != 0;
    if (!f.inRoi) {
        f.left = 0;
        f.right = n - 1;
        return f.result = PeakResult::None;
    }
    int left = cursor, right = cursor;
    while (left > 0 && marks[static_cast<std::size_t>(left - 1)])
        --left;
    while (right < n - 1 && marks[static_cast<std::size_t>(right + 1)])
        ++right;
    f.left = left;
    f.right = right;
    if (right - left < 2)
        return f.result = PeakResult::None;

    const auto& soft = spectrum.SoftCounts();
    const NetCounts net(soft, n, left, right);
    f.centroid = f.integral = f.area = 0.0;
    f.halfFound = f.tenthFound = false;
    int peak = left;
    double maximum = 0.0;
    for (int j = left; j <= right; ++j) {
        f.integral += soft[static_cast<std::size_t>(j)];
        const double v = net(j);
        f.area += v;
        if (v >= maximum) { // ties go to the later channel
            maximum = v;
            peak = j;
        }
    }
    if (maximum <= 2.0)
        return f.result = PeakResult::IntegralOnly;

    const double half = maximum / 2.0;
    const Widths h = CrossingsAt(net, peak, left, right, half);
    f.halfFound = h.found;
    f.rightHalf = h.found ? h.right : 0.0;
    f.fwhm = h.found ? h.width : 0.0;
    f.leftHalf = f.rightHalf - f.fwhm;
    f.centroid = h.found ? f.rightHalf - f.fwhm / 2.0 : 0.0;

    const Widths t = CrossingsAt(net, peak, left, right, half / 5.0);
    f.tenthFound = t.found;
    f.rightTenth = t.found ? t.right : 0.0;
    f.fwtm = t.found ? t.width : 0.0;
    f.leftTenth = f.rightTenth - f.fwtm;
    return f.result = PeakResult::Peak;
}

std::string RoiStatusText(const PeakFigures& figures) {
    if (!figures.inRoi)
        return " ";
    char text[64];
    std::snprintf(text, sizeof text, "ROI: %6d to %-6d  W: %-6d", figures.left, figures.right,
                  figures.right - figures.left + 1);
    return text;
}

} // namespace orvane
