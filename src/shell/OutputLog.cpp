#include "shell/OutputLog.h"

#include <algorithm>
#include <cstdio>

namespace orvane {

namespace {
const char* const kMonths[12] = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                 "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};
}

OutputLog::OutputLog(const Clock& clock, WidthFunction width) : clock_(clock), width_(std::move(width)) {
    AddLine("Start Application");
}

std::string OutputLog::Prefix(const LocalDateTime& t) {
    const int month = std::clamp(t.month, 1, 12);
    char text[48];
    std::snprintf(text, sizeof text, "%02d-%s-%02d@%02d:%02d:%02d>> ", t.day, kMonths[month - 1],
                  t.year % 100, t.hour, t.minute, t.second);
    return text;
}

void OutputLog::AddLine(const std::string& message) {
    Line line{Prefix(clock_.LocalNow()) + message, 0};
    line.width = (width_ ? width_(line.text) : static_cast<int>(line.text.size())) + 10;
    const int before = extent_;
    extent_ = std::max(extent_, line.width);
    lines_.push_back(line);
    if (listener_)
        listener_->OnLineAppended(lines_.back().text);
    if (lines_.size() > kMaxLines)
        RemoveOldest();
    if (listener_ && extent_ != before)
        listener_->OnExtentChanged(extent_);
}

void OutputLog::SetWidthFunction(WidthFunction width) {
    width_ = std::move(width);
    extent_ = 0;
    for (Line& line : lines_) {
        line.width = (width_ ? width_(line.text) : static_cast<int>(line.text.size())) + 10;
        extent_ = std::max(extent_, line.width);
    }
    if (listener_)
        listener_->OnExtentChanged(extent_);
}

void OutputLog::RemoveOldest() {
    const int removed = lines_.front().width;
    lines_.pop_front();
    if (listener_)
        listener_->OnOldestRemoved();
    if (removed < extent_)
        return;
    extent_ = 0;
    for (const Line& line : lines_)
        extent_ = std::max(extent_, line.width);
}

} // namespace orvane
