#include "session/RegisterImage.h"

#include <algorithm>

namespace orvane {

std::uint16_t RegisterImage::Field(int k, int lowBit, int width) const {
    const unsigned mask = (1u << width) - 1u;
    return static_cast<std::uint16_t>((Get(k) >> lowBit) & mask);
}

void RegisterImage::SetField(int k, int lowBit, int width, unsigned value) {
    const unsigned mask = ((1u << width) - 1u) << lowBit;
    Set(k, static_cast<std::uint16_t>((Get(k) & ~mask) | ((value << lowBit) & mask)));
}

void RegisterImage::SetBit(int k, int bit, bool on) {
    SetField(k, bit, 1, on ? 1u : 0u);
}

std::uint32_t RegisterImage::Pair(int k) const {
    return static_cast<std::uint32_t>(Get(k)) | (static_cast<std::uint32_t>(Get(k + 1)) << 16);
}

void RegisterImage::SetPair(int k, std::uint32_t value) {
    Set(k, static_cast<std::uint16_t>(value));
    Set(k + 1, static_cast<std::uint16_t>(value >> 16));
}

void RegisterImage::ConsumeOneShotBits() {
    SetBit(16, 2, false);
    SetBit(16, 5, false);
    SetBit(16, 4, true);
}

void RegisterImage::CopyRunControl() {
    std::copy(bank0_.begin() + 1, bank0_.end(), bank1_.begin() + 1);
}

void RegisterImage::ResetToCreation() {
    std::fill(bank0_.begin(), bank0_.begin() + kRegisters, 0);
    bank0_[15] = 0x0E00;
}

} // namespace orvane
