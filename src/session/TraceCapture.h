#pragma once

#include <array>
#include <cstdint>

namespace orvane {

// The trace viewer's capture state as the device link consults it: a continuous run, or a single shot
// whose countdown discards the traces captured before it is due, and the last trace handed over.
class TraceCapture {
public:
    static constexpr std::size_t kTraceBytes = 1024;

    bool Continuous() const { return continuous_; }
    void SetContinuous(bool on) { continuous_ = on; }
    int SingleShotCountdown() const { return countdown_; }
    void ArmSingleShot(int countdown) { countdown_ = countdown; }
    bool SingleShotPending() const { return countdown_ > 0; }
    // A completed trace read: returns true when the trace is the one to show (then it is kept).
    bool Offer(const std::uint8_t* bytes);
    void CountDown();

    bool HasTrace() const { return hasTrace_; }
    const std::array<std::uint8_t, kTraceBytes>& Trace() const { return trace_; }
    // Connect and release: the stored traces go, the run stops.
    void Reset();

private:
    bool continuous_ = false;
    int countdown_ = 0;
    bool hasTrace_ = false;
    std::array<std::uint8_t, kTraceBytes> trace_{};
};

} // namespace orvane
