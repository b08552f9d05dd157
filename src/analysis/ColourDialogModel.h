#pragma once

#include "analysis/DisplayColours.h"

#include <cstdint>
#include <functional>

namespace orvane {

class SpectrumPlot;

enum class ColourRole { Background, Spectrum, Roi, Cursor };

// The "ADJUST COLORS" dialog of one plot: every chosen colour applies at once, "Default" restores the
// defaults, "OK" keeps what is shown and "Cancel" puts back the four colours the plot had when it opened.
class ColourDialogModel {
public:
    explicit ColourDialogModel(SpectrumPlot& plot);

    const DisplayColours& Colours() const;
    std::uint32_t Colour(ColourRole role) const;
    void Choose(ColourRole role, std::uint32_t colour);
    void Default();
    void Cancel();

    // Called after the plot's colours changed, so it is drawn again.
    std::function<void()> changed;

private:
    void Apply(const DisplayColours& colours);

    SpectrumPlot& plot_;
    DisplayColours opened_;
};

} // namespace orvane
