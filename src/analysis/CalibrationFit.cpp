#include "analysis/CalibrationFit.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace orvane {

namespace {

// A pivot this small against the size of its row is rounding noise of a singular system.
constexpr double kNegligiblePivot = 1e-12;

bool FitLine(const CalibrationPoint& p0, const CalibrationPoint& p1, CalibrationCoefficients& out) {
    CalibrationCoefficients fit;
    fit.a = 0.0;
    fit.b = p1.channel == p0.channel ? 1.0 : (p1.energy - p0.energy) / (p1.channel - p0.channel);
    fit.c = p0.energy - fit.b * p0.channel;
    if (!std::isfinite(fit.b) || !std::isfinite(fit.c))
        return false;
    out = fit;
    return true;
}

bool FitQuadratic(const std::vector<CalibrationPoint>& points, CalibrationCoefficients& out) {
    double s[5] = {};
    double sy[3] = {};
    for (const auto& p : points) {
        double power = 1.0;
        for (int k = 0; k < 5; ++k) {
            s[k] += power;
            if (k < 3)
                sy[k] += power * p.energy;
            power *= p.channel;
        }
    }
    std::array<std::array<double, 4>, 3> m = {
        {{s[0], s[1], s[2], sy[0]}, {s[1], s[2], s[3], sy[1]}, {s[2], s[3], s[4], sy[2]}}};
    std::array<double, 3> rowSize{};
    for (int r = 0; r < 3; ++r)
        rowSize[r] = std::max({std::fabs(m[r][0]), std::fabs(m[r][1]), std::fabs(m[r][2])});
    for (int j = 0; j < 3; ++j) {
        const double pivot = m[j][j];
        if (!(std::fabs(pivot) > kNegligiblePivot * rowSize[j]))
            return false;
        for (int r = 0; r < 3; ++r) {
            if (r == j)
                continue;
            const double factor = m[r][j] / pivot;
            for (int k = 0; k < 4; ++k)
                m[r][k] -= factor * m[j][k];
        }
    }
    CalibrationCoefficients fit;
    fit.c = m[0][3] / m[0][0];
    fit.b = m[1][3] / m[1][1];
    fit.a = m[2][3] / m[2][2];
    if (!std::isfinite(fit.a) || !std::isfinite(fit.b) || !std::isfinite(fit.c))
        return false;
    out = fit;
    return true;
}

} // namespace

bool FitCalibration(const std::vector<CalibrationPoint>& points, CalibrationCoefficients& out) {
    if (points.size() < 2)
        return false;
    if (points.size() == 2)
        return FitLine(points.front(), points.back(), out);
    return FitQuadratic(points, out);
}

} // namespace orvane
