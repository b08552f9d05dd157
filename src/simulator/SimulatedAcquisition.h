#pragma once

#include "simulator/SimulatorOptions.h"

#include <array>
#include <cstddef>
#include <cstdint>

namespace orvane {

// How the simulated instrument behaves between frames: runs started and stopped by register 16, real and
// live time counting, presets ending runs, counts accumulating as a photopeak on a continuum, the rate
// registers, the trace-ready bit and the automatic pole-zero. Time is whatever the injected clock says,
// so a test decides how much of a run has passed.
class SimulatedAcquisition {
public:
    using Registers = std::array<std::uint16_t, 128>;
    using Spectrum = std::array<std::uint32_t, 16384>;
    using Trace = std::array<std::uint16_t, 512>;

    explicit SimulatedAcquisition(const SimulatorOptions& options);

    // Power-up: a first trace stands captured.
    void PowerUp(Registers& regs, Trace& trace);
    // Brings the instrument up to nowMs.
    void Advance(std::int64_t nowMs, Registers& regs, Spectrum& spectrum, Trace& trace);
    // The host wrote registers first .. first + count - 1.
    void OnWrite(std::int64_t nowMs, std::size_t first, std::size_t count, Registers& regs,
                 Spectrum& spectrum);
    // The host read the trace: the next one is captured a little later.
    void OnTraceRead(std::int64_t nowMs, Registers& regs);

private:
    double PeriodNs(const Registers& regs) const;
    void Accumulate(double events, Spectrum& spectrum);
    void WriteTimes(Registers& regs) const;
    void WriteRates(Registers& regs) const;
    void CaptureTrace(const Registers& regs, Trace& trace);
    void StepPoleZero(std::int64_t nowMs, Registers& regs);
    double Uniform();
    double Gaussian();

    SimulatorOptions options_;
    std::int64_t lastMs_ = -1;
    bool running_ = false;
    std::int64_t realUs_ = 0;
    double liveUs_ = 0.0;
    double carry_ = 0.0;
    std::int64_t traceReadyAtMs_ = -1;
    std::int64_t poleZeroStartMs_ = -1;
    std::uint64_t random_ = 0x9E3779B97F4A7C15ull;
};

} // namespace orvane
