#include "analysis/RoiMarker.h"

#include "spectrum/CSpectrum.h"

#include <algorithm>

namespace orvane {

bool RoiMarker::Set(CSpectrum& record, int channel, bool marked) {
    if (channel < 0 || channel >= record.SoftSize())
        return false;
    const bool before = record.SoftMarks()[static_cast<std::size_t>(channel)] != 0;
    record.SetSoftMark(channel, marked);
    return before != marked;
}

void RoiMarker::Start(CSpectrum& record, Action action, int channel) {
    action_ = action;
    anchor_ = left_ = right_ = channel;
    if (action != Action::None)
        Set(record, channel, action == Action::Mark);
}

bool RoiMarker::ExtendTo(CSpectrum& record, int e, RoiMode mode) {
    if (action_ == Action::None)
        return false;
    e = std::clamp(e, 0, std::max(record.SoftSize() - 1, 0));
    if (action_ == Action::Mark && mode == RoiMode::FromCursor)
        return FollowCursor(record, e);
    bool changed = false;
    const bool marked = action_ == Action::Mark;
    for (int c = std::min(anchor_, e); c <= std::max(anchor_, e); ++c)
        changed |= Set(record, c, marked);
    return changed;
}

// The run always spans anchor to cursor: it shrinks back when the cursor returns toward the anchor and grows
// only over unmarked channels, so it never swallows an ROI that was there before.
bool RoiMarker::FollowCursor(CSpectrum& record, int e) {
    const auto& marks = record.SoftMarks();
    bool changed = false;
    if (e > left_ && left_ < anchor_) {
        const int stop = std::min(e, anchor_);
        for (int c = left_; c < stop; ++c)
            changed |= Set(record, c, false);
        left_ = stop;
    } else if (e < left_) {
        for (int c = left_ - 1; c >= e && marks[static_cast<std::size_t>(c)] == 0; --c) {
            changed |= Set(record, c, true);
            left_ = c;
        }
    }
    if (e < right_ && right_ > anchor_) {
        const int stop = std::max(e, anchor_);
        for (int c = right_; c > stop; --c)
            changed |= Set(record, c, false);
        right_ = stop;
    } else if (e > right_) {
        for (int c = right_ + 1; c <= e && marks[static_cast<std::size_t>(c)] == 0; ++c) {
            changed |= Set(record, c, true);
            right_ = c;
        }
    }
    return changed;
}

} // namespace orvane
