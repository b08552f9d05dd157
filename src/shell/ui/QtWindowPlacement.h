#pragma once

#include "shell/WindowPlacement.h"

class QWidget;

namespace orvane {

// Maps a top-level window to the placement record and back. The rectangle is the window's normal
// (restored) geometry without the frame, which the window system adds itself.
class QtWindowPlacement {
public:
    static WindowPlacement Capture(const QWidget& window);
    // Sets the normal geometry and the maximised state; the window shows them when it is shown. A window
    // that was minimised comes back as it was before (normal or maximised), and a rectangle that lies on no
    // screen is moved onto the primary one.
    static void Apply(QWidget& window, const WindowPlacement& placement);
};

} // namespace orvane
