#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <mutex>

namespace orvane {

// The instrument's configuration flash: 16 MiB, erased (0xFF) until written, kept in 4 KiB pages as they
// are first written. Answers the flash write, flash read and configure frames.
class SimulatedFlash {
public:
    static constexpr std::uint32_t kCapacity = 16u << 20;

    // Whether a frame's code is one of the flash frames.
    static bool Handles(const std::uint8_t* frame);
    // Builds the reply to a checksum-valid flash frame; 0 for a frame the instrument ignores.
    std::size_t Answer(const std::uint8_t* frame, std::size_t size, std::uint8_t* reply);

    std::uint8_t Byte(std::uint32_t address) const;
    void SetByte(std::uint32_t address, std::uint8_t value);
    // How often the FPGA was told to load itself from the flash.
    unsigned Configurations() const;

private:
    static constexpr std::uint32_t kPageSize = 4096;
    using Page = std::array<std::uint8_t, kPageSize>;

    std::size_t AnswerWrite(const std::uint8_t* frame, std::size_t size, std::uint8_t* reply);
    std::size_t AnswerRead(const std::uint8_t* frame, std::size_t size, std::uint8_t* reply);
    std::size_t AnswerConfigure(const std::uint8_t* frame, std::size_t size, std::uint8_t* reply);
    static bool Fits(std::uint32_t address, std::size_t count);
    std::uint8_t ByteLocked(std::uint32_t address) const;
    void SetByteLocked(std::uint32_t address, std::uint8_t value);

    mutable std::mutex mutex_; // tests look at the flash while the line thread answers
    std::map<std::uint32_t, Page> pages_;
    unsigned configurations_ = 0;
};

} // namespace orvane
