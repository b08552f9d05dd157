#pragma once

namespace orvane {

// What the ROI analysis found around the cursor.
enum class PeakResult { None, IntegralOnly, Peak };

// The latest peak analysis of a record, in soft channels; the information pane and the stabilizer windows
// read it. A width whose crossings were not both found inside the ROI is not meaningful: its flag is clear
// and the position and width values must not be shown.
struct PeakFigures {
    PeakResult result = PeakResult::None;
    bool inRoi = false; // the cursor's channel is marked
    int left = 0;       // ROI first channel L
    int right = 0;      // ROI last channel R
    double centroid = 0.0;
    double integral = 0.0;
    double area = 0.0;
    double rightHalf = 0.0;
    double leftHalf = 0.0;
    double fwhm = 0.0;
    double rightTenth = 0.0;
    double leftTenth = 0.0;
    double fwtm = 0.0;
    bool halfFound = false;  // both half-maximum crossings lie inside the ROI
    bool tenthFound = false; // both tenth-maximum crossings lie inside the ROI

    bool HasCentroid() const { return result == PeakResult::Peak && halfFound; }
};

} // namespace orvane
