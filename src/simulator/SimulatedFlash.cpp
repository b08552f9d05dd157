#include "simulator/SimulatedFlash.h"

#include "device/Frames.h"
#include "firmware/FlashFrames.h"

#include <cstring>

namespace orvane {

using frames::Checksum;
using frames::Get16;
using frames::Get32;
using frames::Put16;

bool SimulatedFlash::Handles(const std::uint8_t* frame) {
    const std::uint16_t code = Get16(frame);
    return code == flash::kWriteCode || code == flash::kReadCode || code == flash::kConfigureCode;
}

std::size_t SimulatedFlash::Answer(const std::uint8_t* frame, std::size_t size, std::uint8_t* reply) {
    std::lock_guard lock(mutex_);
    switch (Get16(frame)) {
    case flash::kWriteCode:
        return AnswerWrite(frame, size, reply);
    case flash::kReadCode:
        return AnswerRead(frame, size, reply);
    case flash::kConfigureCode:
        return AnswerConfigure(frame, size, reply);
    default:
        return 0;
    }
}

bool SimulatedFlash::Fits(std::uint32_t address, std::size_t count) {
    return address <= kCapacity && count <= kCapacity - address;
}

std::size_t SimulatedFlash::AnswerWrite(const std::uint8_t* frame, std::size_t size, std::uint8_t* reply) {
    const std::uint32_t address = Get32(frame + 4);
    if (size != flash::kWriteFrameSize || !Fits(address, flash::kBlockSize))
        return 0;
    for (std::size_t i = 0; i < flash::kBlockSize; ++i)
        SetByteLocked(address + static_cast<std::uint32_t>(i), frame[flash::kBodyOffset + i]);
    std::memcpy(reply, frame, 8); // code and address echo
    Put16(reply + 2, flash::kWriteReplySize);
    reply[8] = Checksum(reply, 8);
    return flash::kWriteReplySize;
}

std::size_t SimulatedFlash::AnswerRead(const std::uint8_t* frame, std::size_t size, std::uint8_t* reply) {
    const std::uint32_t address = Get32(frame + 4);
    const std::size_t count = Get16(frame + 8);
    if (size != flash::kReadFrameSize || count > flash::kBlockSize || !Fits(address, count))
        return 0;
    const std::size_t length = flash::kReadDataOffset + count + 1;
    std::memcpy(reply, frame, 10); // code, address and byte count echo
    Put16(reply + 2, static_cast<std::uint16_t>(length));
    for (std::size_t i = 0; i < count; ++i)
        reply[flash::kReadDataOffset + i] = ByteLocked(address + static_cast<std::uint32_t>(i));
    reply[length - 1] = Checksum(reply, length - 1);
    return length;
}

std::size_t SimulatedFlash::AnswerConfigure(const std::uint8_t* frame, std::size_t size,
                                            std::uint8_t* reply) {
    if (size != flash::kConfigureFrameSize || std::memcmp(frame + 4, flash::kConfigureKey, 4) != 0)
        return 0;
    ++configurations_;
    std::memcpy(reply, frame, flash::kConfigureReplySize);
    return flash::kConfigureReplySize;
}

std::uint8_t SimulatedFlash::ByteLocked(std::uint32_t address) const {
    const auto it = pages_.find(address / kPageSize);
    return it == pages_.end() ? 0xFF : it->second[address % kPageSize];
}

void SimulatedFlash::SetByteLocked(std::uint32_t address, std::uint8_t value) {
    auto [it, created] = pages_.try_emplace(address / kPageSize);
    if (created)
        it->second.fill(0xFF);
    it->second[address % kPageSize] = value;
}

std::uint8_t SimulatedFlash::Byte(std::uint32_t address) const {
    std::lock_guard lock(mutex_);
    return ByteLocked(address);
}

void SimulatedFlash::SetByte(std::uint32_t address, std::uint8_t value) {
    std::lock_guard lock(mutex_);
    if (address < kCapacity)
        SetByteLocked(address, value);
}

unsigned SimulatedFlash::Configurations() const {
    std::lock_guard lock(mutex_);
    return configurations_;
}

} // namespace orvane
