#include "analysis/ColourDialogModel.h"

#include "analysis/SpectrumPlot.h"

namespace orvane {

ColourDialogModel::ColourDialogModel(SpectrumPlot& plot) : plot_(plot), opened_(plot.Colours()) {}

const DisplayColours& ColourDialogModel::Colours() const {
    return plot_.Colours();
}

std::uint32_t ColourDialogModel::Colour(ColourRole role) const {
    const DisplayColours& c = plot_.Colours();
    switch (role) {
    case ColourRole::Background:
        return c.background;
    case ColourRole::Spectrum:
        return c.spectrum;
    case ColourRole::Roi:
        return c.roi;
    case ColourRole::Cursor:
        return c.cursor;
    }
    return 0;
}

void ColourDialogModel::Choose(ColourRole role, std::uint32_t colour) {
    DisplayColours c = plot_.Colours();
    colour &= 0x00FFFFFFu;
    switch (role) {
    case ColourRole::Background:
        c.background = colour;
        break;
    case ColourRole::Spectrum:
        c.spectrum = colour;
        break;
    case ColourRole::Roi:
        c.roi = colour;
        break;
    case ColourRole::Cursor:
        c.cursor = colour;
        break;
    }
    Apply(c);
}

void ColourDialogModel::Default() {
    Apply(SpectrumPlot::DefaultColours());
}

void ColourDialogModel::Cancel() {
    Apply(opened_);
}

void ColourDialogModel::Apply(const DisplayColours& colours) {
    plot_.SetColours(colours);
    if (changed)
        changed();
}

} // namespace orvane
