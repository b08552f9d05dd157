#pragma once

#include <cstdint>

namespace orvane {

// The sample period every displayed time is a multiple of, from register 15's clock code. It is derived
// once per refresh cycle; a different clock code from the previous cycle marks that cycle as
// period-changed, so every panel re-renders its times even where the register values stayed the same.
class SamplePeriod {
public:
    static double NanosecondsFor(int clockCode);
    static int ClockCodeOf(std::uint16_t register15) { return (register15 >> 2) & 3; }

    // Starts a refresh cycle; returns whether the period changed.
    bool Derive(std::uint16_t register15);
    // Connect: the next cycle re-derives as if the code were new.
    void Forget() { clockCode_ = -1; }

    double Ns() const { return ns_; }
    double Us() const { return ns_ / 1000.0; }
    int ClockCode() const { return clockCode_ < 0 ? 0 : clockCode_; }
    bool Changed() const { return changed_; }

private:
    int clockCode_ = -1;
    double ns_ = 12.5;
    bool changed_ = false;
};

} // namespace orvane
