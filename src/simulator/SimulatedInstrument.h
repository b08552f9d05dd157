#pragma once

#include "shell/Clock.h"
#include "simulator/SimulatedAcquisition.h"
#include "simulator/SimulatedFlash.h"
#include "simulator/SimulatorOptions.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <mutex>

namespace orvane {

// The instrument's side of the protocol: 128 registers, 16384 channels of spectrum memory, the trace
// buffer and the FPGA flash, answering every valid frame the host can send. It knows nothing about the
// line it sits on.
class SimulatedInstrument {
public:
    static constexpr std::size_t kRegisters = 128;
    static constexpr std::size_t kChannels = 16384;
    static constexpr std::size_t kTraceWords = 512;
    static constexpr std::size_t kMaxReply = 32768 + 25;

    SimulatedInstrument(const Clock& clock, const SimulatorOptions& options);

    // Builds the reply to one complete, checksum-valid frame into reply; returns its size, 0 for none.
    std::size_t Answer(const std::uint8_t* frame, std::size_t size, std::uint8_t* reply);

    std::uint16_t Register(std::size_t index) const;
    void SetRegister(std::size_t index, std::uint16_t value);
    void SetChannel(std::size_t channel, std::uint32_t count);
    std::uint32_t Channel(std::size_t channel) const;
    void SetTraceWord(std::size_t index, std::uint16_t value);
    std::uint16_t TraceWord(std::size_t index) const;
    SimulatedFlash& Flash() { return flash_; }

    // Words the host only reads: writes to them leave the instrument's own value.
    static std::uint16_t ReadOnlyMask(std::size_t index);

private:
    std::size_t AnswerRead(const std::uint8_t* frame, std::uint8_t* reply);
    std::size_t AnswerWrite(const std::uint8_t* frame, std::size_t size, std::uint8_t* reply);
    void PutStatusBlock(std::uint8_t* block) const;

    const Clock& clock_;
    SimulatorOptions options_;
    mutable std::mutex mutex_; // tests look at the memory while the line thread answers
    std::array<std::uint16_t, kRegisters> registers_{};
    std::array<std::uint32_t, kChannels> spectrum_{};
    std::array<std::uint16_t, kTraceWords> trace_{};
    SimulatedAcquisition acquisition_;
    SimulatedFlash flash_;
};

} // namespace orvane
