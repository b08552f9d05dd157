#include "analysis/DisplayCalibration.h"

#include "spectrum/CSpectrum.h"

namespace orvane {

DisplayCalibration DisplayCalibration::Of(const CSpectrum& spectrum) {
    DisplayCalibration d;
    const CalibrationSet& working = spectrum.WorkingCalibration(spectrum.SelectedInput());
    if (working.enabled != 0) {
        d.calibrated = true;
        d.a = working.a;
        d.b = working.b;
        d.c = working.c;
        d.units = CalibrationUnitName(working.units);
    }
    return d;
}

} // namespace orvane
