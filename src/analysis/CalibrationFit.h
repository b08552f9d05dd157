#pragma once

#include <vector>

namespace orvane {

struct CalibrationPoint {
    double channel = 0.0;
    double energy = 0.0;
};

struct CalibrationCoefficients {
    double a = 0.0;
    double b = 1.0;
    double c = 0.0;
};

// E = a·CH² + b·CH + c through the points, in their order. Two points give the line from the first to the
// last (b = 1 when they share a channel); three or more the least-squares quadratic from the normal
// equations by Gauss-Jordan elimination. False, with `out` untouched, for fewer than two points or when
// the equations are singular (fewer than three distinct channels) or give a result that is not finite.
bool FitCalibration(const std::vector<CalibrationPoint>& points, CalibrationCoefficients& out);

} // namespace orvane
