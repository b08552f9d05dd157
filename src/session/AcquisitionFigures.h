#pragma once

#include "session/RegisterImage.h"

#include <string>

namespace orvane {

// A record's run figures, all from its own register image (the sample period from its own register 15):
// what the acquisition panel shows and what files and exports write.
struct AcquisitionFigures {
    double realSeconds = 0.0;
    double liveSeconds = 0.0;
    double deadPercent = 0.0;
    std::string startText;  // "DD/MM/YYYY  HH:MM:SS" or "WAITING FOR START"
    std::string startLabel; // "START TIME: UTC", "START TIME: SYSTEM" or "START TIME: LOCAL"
};

AcquisitionFigures ComputeAcquisitionFigures(const RegisterImage& image);

// "START TIME: ..." from register 16 bits 10 (UTC) and 11 (system).
std::string StartLabel(const RegisterImage& image);
// "%02d/%02d/%04d  %02d:%02d:%02d" of the start stamp, or "WAITING FOR START" before a start.
std::string StartText(const RegisterImage& image);

} // namespace orvane
