#pragma once

#include "spectrum/CSpectrum.h"
#include "support/ScriptedHost.h"

#include <initializer_list>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace orvane::test {

// A shown record with the given sizes, soft counts from `counts` (soft channel, count) and the soft
// channels first..last of each ROI marked.
inline std::unique_ptr<CSpectrum> MakeSpectrum(int hard, int soft,
                                               const std::vector<std::pair<int, std::uint32_t>>& counts,
                                               std::initializer_list<std::pair<int, int>> rois) {
    auto s = std::make_unique<CSpectrum>(true);
    s->SetShown(true);
    s->SetSizes(hard, soft);
    const int f = s->BinningFactor();
    for (const auto& [channel, count] : counts)
        s->HardCounts()[static_cast<std::size_t>(channel * f)] = count;
    for (const auto& [first, last] : rois)
        for (int h = first * f; h < (last + 1) * f; ++h)
            s->HardMarks()[static_cast<std::size_t>(h)] = 1;
    s->Fold();
    s->RebuildSoftMarks();
    s->SetNeedsRefresh(true);
    return s;
}

} // namespace orvane::test
