#pragma once

#include "analysis/PeakFigures.h"

#include <string>

namespace orvane {

class CSpectrum;

// The ROI around the record's cursor and the peak in it, on the soft counts and soft marks: integral, net
// area over a straight background, peak channel, the half- and tenth-maximum crossings and widths. The
// figures are stored in the record and the kind of result is returned.
PeakResult AnalysePeak(CSpectrum& spectrum);

// The status-bar ROI text of an analysis: "ROI: %6d to %-6d  W: %-6d", or " " outside an ROI.
std::string RoiStatusText(const PeakFigures& figures);

} // namespace orvane
