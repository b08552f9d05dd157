#pragma once

#include <array>
#include <cstdint>

namespace orvane {

// The host's copy of the instrument's registers. Bank 0 words 0..127 mirror registers 0..127 (words
// 128..255 travel along uninterpreted); bank 1 is the logger's run-control copy. The image-settled flag
// guards an edit that has not been written yet against being overwritten by a read-back.
class RegisterImage {
public:
    static constexpr int kBankWords = 256;
    static constexpr int kRegisters = 128;
    using Bank = std::array<std::uint16_t, kBankWords>;

    std::uint16_t Get(int k) const { return bank0_[static_cast<std::size_t>(k)]; }
    void Set(int k, std::uint16_t value) { bank0_[static_cast<std::size_t>(k)] = value; }

    // Bits lowBit .. lowBit + width - 1 of register k; setting leaves the other bits as they are.
    std::uint16_t Field(int k, int lowBit, int width) const;
    void SetField(int k, int lowBit, int width, unsigned value);
    bool Bit(int k, int bit) const { return (Get(k) >> bit) & 1u; }
    void SetBit(int k, int bit, bool on);

    // Low word in register k, high word in k + 1.
    std::uint32_t Pair(int k) const;
    void SetPair(int k, std::uint32_t value);

    Bank& Bank0() { return bank0_; }
    const Bank& Bank0() const { return bank0_; }
    Bank& Bank1() { return bank1_; }
    const Bank& Bank1() const { return bank1_; }

    bool Settled() const { return settled_; }
    void SetSettled(bool settled) { settled_ = settled; }

    // After every completed register write and every read-back: the one-shot command bits of register
    // 16 are consumed (clear request and handshake bit 5 cleared, handshake bit 4 set).
    void ConsumeOneShotBits();
    // START with the logger enabled: bank-0 words 1..255 become the run-control copy.
    void CopyRunControl();

    // Words 0..127 of bank 0 zero except register 15 = 0x0E00, as a new record holds them.
    void ResetToCreation();

private:
    Bank bank0_{};
    Bank bank1_{};
    bool settled_ = true;
};

} // namespace orvane
