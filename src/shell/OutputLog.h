#pragma once

#include "shell/Clock.h"

#include <cstddef>
#include <deque>
#include <functional>
#include <string>

namespace orvane {

// The running log behind the "Events" pane: time-stamped lines, the newest 200 kept, and the widest kept
// line's width as the horizontal extent. The pane measures text with its font through the width function.
class OutputLog {
public:
    static constexpr std::size_t kMaxLines = 200;

    using WidthFunction = std::function<int(const std::string&)>;

    struct Line {
        std::string text;
        int width = 0; // measured width + 10
    };

    class Listener {
    public:
        virtual ~Listener() = default;
        virtual void OnLineAppended(const std::string& text) = 0;
        virtual void OnOldestRemoved() = 0;
        virtual void OnExtentChanged(int extent) = 0;
    };

    // Adds the first line "Start Application".
    OutputLog(const Clock& clock, WidthFunction width);

    void AddLine(const std::string& message);

    const std::deque<Line>& Lines() const { return lines_; }
    int Extent() const { return extent_; }
    void SetListener(Listener* listener) { listener_ = listener; }
    // The pane's font measures the lines from now on; the kept lines are measured again.
    void SetWidthFunction(WidthFunction width);

    // "09-DEC-26@14:03:27>> "
    static std::string Prefix(const LocalDateTime& t);

private:
    void RemoveOldest();

    const Clock& clock_;
    WidthFunction width_;
    std::deque<Line> lines_;
    int extent_ = 0;
    Listener* listener_ = nullptr;
};

} // namespace orvane
