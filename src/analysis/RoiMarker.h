#pragma once

namespace orvane {

class CSpectrum;

// How a marking drag treats ROIs it meets: "Mark Over" runs through them, "From Cursor" makes the run follow
// the cursor and stops it at an existing ROI.
enum class RoiMode { MarkOver = 0, FromCursor = 1 };

// The ROI editing of one plot: a marking or erasing run from an anchor channel, extended channel by channel
// as the cursor moves. Setting or clearing a soft channel's mark does the same to its hard channels.
class RoiMarker {
public:
    enum class Action { None, Mark, Erase };

    Action Current() const { return action_; }
    bool Active() const { return action_ != Action::None; }
    int Anchor() const { return anchor_; }
    int LeftExtent() const { return left_; }
    int RightExtent() const { return right_; }

    // Starts a run at `channel`, which is marked or cleared at once.
    void Start(CSpectrum& record, Action action, int channel);
    // Extends the running action to channel e. Returns true when any mark changed.
    bool ExtendTo(CSpectrum& record, int e, RoiMode mode);
    void End() { action_ = Action::None; }

private:
    bool FollowCursor(CSpectrum& record, int e);
    static bool Set(CSpectrum& record, int channel, bool marked);

    Action action_ = Action::None;
    int anchor_ = 0, left_ = 0, right_ = 0;
};

} // namespace orvane
