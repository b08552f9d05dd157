#pragma once

#include "analysis/DisplayCalibration.h"
#include "analysis/PeakFigures.h"

#include <cstdint>
#include <string>

namespace orvane {

class CSpectrum;
class RegisterImage;

// The information pane's content: what the cursor points at, the peak figures of the ROI around it, the
// run times and counting rates, and the two status-bar texts. The view binds its text fields to these.
class SpectrumInfoModel {
public:
    static constexpr const char* kDashes = "-----------";

    struct Fields {
        std::string unitLabel = "chn"; // beside POSITION, CENTROID, FWHM and FWTM
        bool cal = false;              // the "CAL" box, mirroring "ENABLE CALIBRATION"
        std::string position;
        std::string counts;
        std::string centroid;
        std::string fwhm;
        std::string fwtm;
        std::string resolution;
        std::string integral;
        std::string area;
        std::string real = "0.00";
        std::string live = "0.00";
        std::string dead = "0.0";
        std::string throughput = "0"; // cps, truncated to an integer
        std::string incoming = "0";   // cps, truncated to an integer
        int losses = 0;               // percent, 0 to 100
        std::string cursorStatus;     // "CURSOR: %-6d  COUNTS: %-10lu"
        std::string roiStatus;        // "ROI: %6d to %-6d  W: %-6d" or " "
    };

    const Fields& Get() const { return fields_; }

    // The cursor block, the ROI analysis and the peak block from the active record: after every cursor move,
    // while a button is dragged on the plot and on every tick of the window's timer.
    void UpdateInfo(CSpectrum& active);

    // REAL, LIVE, DEAD %, THROUGHPUT, INCOMING and the LOSSES % bar from a record's own registers.
    void UpdateTimesAndRates(const RegisterImage& image);

private:
    enum class Shown { Nothing, Dashes, IntegralOnly, Peak };
    struct ShownValues {
        double area = 0.0, integral = 0.0, centroid = 0.0, fwhm = 0.0;
        bool halfFound = false, tenthFound = false;
        bool operator==(const ShownValues&) const = default;
    };

    void UpdateCursor(CSpectrum& active, bool refresh);
    void UpdatePeak(PeakResult result, PeakFigures& figures, bool refresh);
    void ShowPeak(const PeakFigures& figures);
    void ShowDashes(bool keepIntegral);

    Fields fields_;
    DisplayCalibration display_;
    int lastCursor_ = -1;
    std::uint32_t lastCount_ = 0;
    Shown shown_ = Shown::Nothing;
    ShownValues lastShown_;
};

} // namespace orvane
