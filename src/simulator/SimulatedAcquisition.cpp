#include "simulator/SimulatedAcquisition.h"

#include <algorithm>
#include <cmath>

namespace orvane {

namespace {
constexpr int kControl = 16, kPoleZero = 19;
constexpr std::int64_t kTraceCaptureMs = 50;
constexpr std::int64_t kPoleZeroStepMs = 200;
constexpr double kRateWindowSeconds = 0.1;
constexpr double kMaxEventsPerStep = 2.0e6;

void PutPair(SimulatedAcquisition::Registers& regs, int k, std::uint32_t v) {
    regs[static_cast<std::size_t>(k)] = static_cast<std::uint16_t>(v);
    regs[static_cast<std::size_t>(k + 1)] = static_cast<std::uint16_t>(v >> 16);
}

std::uint32_t Pair(const SimulatedAcquisition::Registers& regs, int k) {
    return regs[static_cast<std::size_t>(k)] |
           (static_cast<std::uint32_t>(regs[static_cast<std::size_t>(k + 1)]) << 16);
}
} // namespace

SimulatedAcquisition::SimulatedAcquisition(const SimulatorOptions& options) : options_(options) {}

double SimulatedAcquisition::PeriodNs(const Registers& regs) const {
    static constexpr double kPeriods[4] = {12.5, 10.0, 8.0, 6.25};
    return kPeriods[(regs[15] >> 2) & 3];
}

double SimulatedAcquisition::Uniform() {
    // xorshift64*: cheap, and the same series every run.
    random_ ^= random_ >> 12;
    random_ ^= random_ << 25;
    random_ ^= random_ >> 27;
    return static_cast<double>((random_ * 0x2545F4914F6CDD1Dull) >> 11) * (1.0 / 9007199254740992.0);
}

double SimulatedAcquisition::Gaussian() {
    const double u = std::max(Uniform(), 1e-12);
    return std::sqrt(-2.0 * std::log(u)) * std::cos(6.283185307179586 * Uniform());
}

void SimulatedAcquisition::OnWrite(std::int64_t nowMs, std::size_t first, std::size_t count, Registers& regs,
                                   Spectrum& spectrum) {
    const auto touches = [&](std::size_t k) { return k >= first && k < first + count; };
    if (touches(kControl)) {
        if (regs[kControl] & 0x0004) { // clear request
            spectrum.fill(0);
            realUs_ = 0;
            liveUs_ = 0.0;
            carry_ = 0.0;
            WriteTimes(regs);
        }
        running_ = regs[kControl] & 0x0001;
        lastMs_ = nowMs;
    }
    if (touches(kPoleZero) && (regs[kPoleZero] & 0x8000) && poleZeroStartMs_ < 0)
        poleZeroStartMs_ = nowMs;
}

void SimulatedAcquisition::PowerUp(Registers& regs, Trace& trace) {
    CaptureTrace(regs, trace);
    regs[kControl] |= 0x8000;
}

void SimulatedAcquisition::OnTraceRead(std::int64_t nowMs, Registers& regs) {
    regs[kControl] &= 0x7FFF;
    traceReadyAtMs_ = nowMs + kTraceCaptureMs;
}

void SimulatedAcquisition::Advance(std::int64_t nowMs, Registers& regs, Spectrum& spectrum, Trace& trace) {
    if (lastMs_ < 0)
        lastMs_ = nowMs;
    const std::int64_t dtMs = std::max<std::int64_t>(0, nowMs - lastMs_);
    lastMs_ = nowMs;
    const double rate = std::max(0.0, options_.countRate);
    const double liveShare = 1.0 / (1.0 + rate * options_.deadTimeUs * 1e-6);
    if (running_ && dtMs > 0) {
        std::int64_t stepUs = dtMs * 1000;
        // A preset in units of 10 ms ends the run exactly when it is reached.
        const std::uint32_t preset = Pair(regs, 42);
        const bool livePreset = regs[kControl] & 0x0008;
        if (preset > 0) {
            const double presetUs = preset * 10000.0;
            const double leftUs = livePreset ? (presetUs - liveUs_) / liveShare : presetUs - realUs_;
            if (leftUs <= static_cast<double>(stepUs)) {
                stepUs = std::max<std::int64_t>(0, static_cast<std::int64_t>(std::ceil(leftUs)));
                running_ = false;
                regs[kControl] &= static_cast<std::uint16_t>(~0x0003);
            }
        }
        realUs_ += stepUs;
        liveUs_ += stepUs * liveShare;
        Accumulate(rate * liveShare * stepUs * 1e-6, spectrum);
    }
    WriteTimes(regs);
    WriteRates(regs);
    if (traceReadyAtMs_ >= 0 && nowMs >= traceReadyAtMs_) {
        CaptureTrace(regs, trace);
        regs[kControl] |= 0x8000;
        traceReadyAtMs_ = -1;
    }
    StepPoleZero(nowMs, regs);
}

void SimulatedAcquisition::Accumulate(double events, Spectrum& spectrum) {
    carry_ += std::min(events, kMaxEventsPerStep);
    const auto n = static_cast<std::int64_t>(carry_);
    carry_ -= static_cast<double>(n);
    for (std::int64_t i = 0; i < n; ++i) {
        double channel = 0.0;
        if (Uniform() < options_.peakFraction)
            channel = options_.peakChannel + options_.peakWidth * Gaussian();
        else
            channel = -std::log(std::max(Uniform(), 1e-12)) * options_.peakChannel * 0.45;
        if (channel >= 0.0 && channel < static_cast<double>(spectrum.size()))
            ++spectrum[static_cast<std::size_t>(channel)];
    }
}

void SimulatedAcquisition::WriteTimes(Registers& regs) const {
    const double sixteenSamplesUs = 16.0 * PeriodNs(regs) / 1000.0;
    const auto live = static_cast<std::int64_t>(liveUs_);
    PutPair(regs, 56, static_cast<std::uint32_t>(realUs_ / 10000));
    PutPair(regs, 58, static_cast<std::uint32_t>(live / 10000));
    regs[60] = static_cast<std::uint16_t>(static_cast<double>(realUs_ % 10000) / sixteenSamplesUs);
    regs[61] = static_cast<std::uint16_t>(static_cast<double>(live % 10000) / sixteenSamplesUs);
}

void SimulatedAcquisition::WriteRates(Registers& regs) const {
    const double windows = kRateWindowSeconds / (2048.0 * PeriodNs(regs) * 1e-9);
    const double input = running_ ? options_.countRate : 0.0;
    const double output = input / (1.0 + input * options_.deadTimeUs * 1e-6);
    auto word = [](double v) { return static_cast<std::uint16_t>(std::clamp(v, 0.0, 65535.0)); };
    regs[44] = word(output * kRateWindowSeconds);
    regs[45] = word(input * kRateWindowSeconds);
    regs[46] = regs[47] = word(windows);
}

void SimulatedAcquisition::CaptureTrace(const Registers& regs, Trace& trace) {
    const int input = regs[26] & 3; // SLOW, FAST, ADC, AUX
    const double amplitude = 6000.0 + 1500.0 * Uniform();
    const int rise = input == 1 ? std::max<int>(regs[4], 4) / 4 : std::max<int>(regs[2], 8) / 8;
    const int flat = input == 1 ? 2 : std::max<int>(regs[3], 1);
    const int start = 120;
    for (std::size_t i = 0; i < trace.size(); ++i) {
        const int t = static_cast<int>(i) - start;
        double v = 0.0;
        if (input == 2) { // the digitized preamplifier step and its decay
            v = t < 0 ? 0.0 : amplitude * std::exp(-t / 180.0);
        } else if (input == 3) {
            v = 0.0;
        } else if (t >= 0 && t < rise) {
            v = amplitude * t / rise;
        } else if (t >= rise && t < rise + flat) {
            v = amplitude;
        } else if (t >= rise + flat && t < 2 * rise + flat) {
            v = amplitude * (2 * rise + flat - t) / rise;
        }
        v += 30.0 * Gaussian() + (input == 2 ? 2000.0 : 0.0);
        trace[i] = static_cast<std::uint16_t>(std::clamp(v + 512.0, 0.0, 65535.0));
    }
}

void SimulatedAcquisition::StepPoleZero(std::int64_t nowMs, Registers& regs) {
    if (poleZeroStartMs_ < 0)
        return;
    const std::int64_t step = (nowMs - poleZeroStartMs_) / kPoleZeroStepMs;
    if (step <= 5) {
        regs[kPoleZero] = static_cast<std::uint16_t>((regs[kPoleZero] & 0x8FFF) | (step << 12));
        return;
    }
    // Done: the running bit and the step clear, a pole-zero value stands.
    regs[kPoleZero] = static_cast<std::uint16_t>(1843);
    poleZeroStartMs_ = -1;
}

} // namespace orvane
