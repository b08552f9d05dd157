#include "shell/ProgressList.h"

#include <algorithm>

namespace orvane {

void ProgressList::AddLine(const std::string& text) {
    lines_.push_back(text);
    longest_ = std::max(longest_, text.size());
    if (listener_)
        listener_->OnLineAdded(text);
    if (lines_.size() <= kMaxLines)
        return;
    const std::size_t dropped = lines_.front().size();
    lines_.pop_front();
    if (listener_)
        listener_->OnOldestRemoved();
    // Only the longest line leaving can narrow the extent.
    if (dropped == longest_) {
        longest_ = 0;
        for (const std::string& line : lines_)
            longest_ = std::max(longest_, line.size());
    }
}

} // namespace orvane
