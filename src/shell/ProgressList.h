#pragma once

#include <cstddef>
#include <deque>
#include <string>

namespace orvane {

// The list of report lines a dialog shows while a long operation runs: the newest 80 lines, an extent
// wide enough for the longest of them, and a top line that keeps the last 10 in view.
class ProgressList {
public:
    static constexpr std::size_t kMaxLines = 80;
    static constexpr std::size_t kVisibleLines = 10;
    static constexpr int kPixelsPerCharacter = 8;

    class Listener {
    public:
        virtual ~Listener() = default;
        virtual void OnLineAdded(const std::string& text) = 0;
        virtual void OnOldestRemoved() = 0;
    };

    void AddLine(const std::string& text);

    const std::deque<std::string>& Lines() const { return lines_; }
    // Horizontal extent in pixels: 8 per character of the longest line, plus 8.
    int Extent() const { return static_cast<int>(kPixelsPerCharacter * longest_ + kPixelsPerCharacter); }
    // The first line shown, so that the newest lines are the visible ones.
    std::size_t TopLine() const { return lines_.size() > kVisibleLines ? lines_.size() - kVisibleLines : 0; }

    void SetListener(Listener* listener) { listener_ = listener; }

private:
    std::deque<std::string> lines_;
    std::size_t longest_ = 0;
    Listener* listener_ = nullptr;
};

} // namespace orvane
