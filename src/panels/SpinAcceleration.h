#pragma once

#include <cstdint>

namespace orvane {

// A spin button held down steps faster the longer it is held: 1, then 10 after 4 s, 100 after 6 s and
// 1000 after 8 s, on the injected clock's milliseconds.
class SpinAcceleration {
public:
    void Press(std::int64_t nowMs) { pressedAtMs_ = nowMs; }
    void Release() { pressedAtMs_ = -1; }
    int Step(std::int64_t nowMs) const {
        const std::int64_t held = pressedAtMs_ < 0 ? 0 : nowMs - pressedAtMs_;
        if (held >= 8000)
            return 1000;
        if (held >= 6000)
            return 100;
        if (held >= 4000)
            return 10;
        return 1;
    }

private:
    std::int64_t pressedAtMs_ = -1;
};

} // namespace orvane
