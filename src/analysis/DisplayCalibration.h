#pragma once

#include <string>

namespace orvane {

class CSpectrum;

// The channel-to-energy relation everything displayed uses: the working calibration of the record's
// selected input while it is enabled, otherwise channels themselves ("chn").
struct DisplayCalibration {
    bool calibrated = false;
    double a = 0.0;
    double b = 1.0;
    double c = 0.0;
    std::string units = "chn";

    static DisplayCalibration Of(const CSpectrum& spectrum);

    double Energy(double channel) const { return a * channel * channel + b * channel + c; }
    // E(x2) − E(x1) without the constant, so a width does not depend on c.
    double Width(double x1, double x2) const { return (x2 * x2 - x1 * x1) * a + (x2 - x1) * b; }
};

} // namespace orvane
