#include "simulator/SimulatedInstrument.h"

#include "device/Frames.h"

#include <algorithm>
#include <cstring>

namespace orvane {

using namespace frames;

namespace {
struct InitialValue {
    std::size_t index;
    std::uint16_t value;
};
// The settings an instrument comes up with.
constexpr InitialValue kInitialRegisters[] = {
    {1, 8000}, {2, 240},   {3, 1},      {4, 16},  {5, 1},       {8, 16},  {9, 2000},
    {10, 32},  {11, 4000}, {12, 32768}, {14, 10}, {18, 0x8000}, {63, 35},
};
} // namespace

SimulatedInstrument::SimulatedInstrument(const Clock& clock, const SimulatorOptions& options)
    : clock_(clock), options_(options), acquisition_(options) {
    for (const InitialValue& v : kInitialRegisters)
        registers_[v.index] = v.value;
    registers_[15] = options.register15;
    acquisition_.PowerUp(registers_, trace_);
}

std::uint16_t SimulatedInstrument::ReadOnlyMask(std::size_t index) {
    if (index == 15 || (index >= 44 && index <= 63))
        return 0xFFFF;
    if (index == 16)
        return 0x8000; // trace ready
    if (index == 19)
        return 0x7000; // automatic P/Z step
    return 0;
}

std::uint16_t SimulatedInstrument::Register(std::size_t index) const {
    std::lock_guard lock(mutex_);
    return index < kRegisters ? registers_[index] : 0;
}

void SimulatedInstrument::SetRegister(std::size_t index, std::uint16_t value) {
    std::lock_guard lock(mutex_);
    if (index < kRegisters)
        registers_[index] = value;
}

void SimulatedInstrument::SetChannel(std::size_t channel, std::uint32_t count) {
    std::lock_guard lock(mutex_);
    if (channel < kChannels)
        spectrum_[channel] = count;
}

std::uint32_t SimulatedInstrument::Channel(std::size_t channel) const {
    std::lock_guard lock(mutex_);
    return channel < kChannels ? spectrum_[channel] : 0;
}

void SimulatedInstrument::SetTraceWord(std::size_t index, std::uint16_t value) {
    std::lock_guard lock(mutex_);
    if (index < kTraceWords)
        trace_[index] = value;
}

std::uint16_t SimulatedInstrument::TraceWord(std::size_t index) const {
    std::lock_guard lock(mutex_);
    return index < kTraceWords ? trace_[index] : 0;
}

std::size_t SimulatedInstrument::Answer(const std::uint8_t* frame, std::size_t size, std::uint8_t* reply) {
    if (SimulatedFlash::Handles(frame))
        return flash_.Answer(frame, size, reply);
    std::lock_guard lock(mutex_);
    acquisition_.Advance(clock_.MonotonicMs(), registers_, spectrum_, trace_);
    if (frame[0] == kReadOpcode && size == kReadCommandSize)
        return AnswerRead(frame, reply);
    if (frame[0] == kWriteOpcode)
        return AnswerWrite(frame, size, reply);
    return 0;
}

void SimulatedInstrument::PutStatusBlock(std::uint8_t* block) const {
    Put16(block + 0, static_cast<std::uint16_t>(options_.firmwareVersion));
    Put16(block + 2, options_.serialNumber);
    Put16(block + 4, options_.bias);
    Put16(block + 6, 0);
    Put16(block + 8, options_.inputD);
    Put16(block + 10, options_.coolingDrive);
    Put16(block + 12, static_cast<std::uint16_t>(options_.internalTemperature));
    Put16(block + 14, 0);
}

std::size_t SimulatedInstrument::AnswerRead(const std::uint8_t* frame, std::uint8_t* reply) {
    const std::uint16_t word = Get16(frame + 4);
    const std::uint8_t selector = frame[6];
    const std::size_t n = Get16(frame + 8);
    if (frame[7] != 0 || n > kMaxReply - kReadReplyOverhead)
        return 0;
    std::uint8_t* data = reply + kReadDataOffset;
    std::memset(data, 0, n);
    if (selector == kSelectRead && word >= kRegisterBase) {
        const std::size_t start = word - kRegisterBase;
        for (std::size_t i = 0; i < n / 2 && start + i < kRegisters; ++i)
            Put16(data + 2 * i, registers_[start + i]);
    } else if (selector == kSelectRead) {
        const std::size_t first = word / 2;
        for (std::size_t i = 0; i < n / 4 && first + i < kChannels; ++i)
            Put32(data + 4 * i, spectrum_[first + i]);
    } else if (selector == kSelectTrace && word == kRegisterBase) {
        for (std::size_t i = 0; i < n / 2 && i < kTraceWords; ++i)
            Put16(data + 2 * i, trace_[i]);
        acquisition_.OnTraceRead(clock_.MonotonicMs(), registers_);
    } else {
        return 0;
    }
    const std::size_t length = n + kReadReplyOverhead;
    std::memcpy(reply, frame, 8); // opcode and address echo
    Put16(reply + 2, static_cast<std::uint16_t>(length));
    PutStatusBlock(reply + kStatusBlockOffset);
    reply[length - 1] = Checksum(reply, length - 1);
    return length;
}

std::size_t SimulatedInstrument::AnswerWrite(const std::uint8_t* frame, std::size_t size,
                                             std::uint8_t* reply) {
    const std::uint16_t word = Get16(frame + 4);
    if (frame[6] != kSelectWrite || frame[7] != 0 || word < kRegisterBase || size < kWriteReplySize ||
        (size - kWriteReplySize) % 2 != 0)
        return 0;
    const std::size_t start = word - kRegisterBase;
    const std::size_t count = (size - kWriteReplySize) / 2;
    for (std::size_t i = 0; i < count && start + i < kRegisters; ++i) {
        const std::size_t k = start + i;
        const std::uint16_t keep = ReadOnlyMask(k);
        registers_[k] =
            static_cast<std::uint16_t>((registers_[k] & keep) | (Get16(frame + 8 + 2 * i) & ~keep));
    }
    acquisition_.OnWrite(clock_.MonotonicMs(), start, count, registers_, spectrum_);
    std::memcpy(reply, frame, 8);
    Put16(reply + 2, kWriteReplySize);
    reply[8] = Checksum(reply, 8);
    return kWriteReplySize;
}

} // namespace orvane
