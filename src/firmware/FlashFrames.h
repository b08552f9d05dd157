#pragma once

#include <cstddef>
#include <cstdint>

namespace orvane::flash {

// The frames that write, read back and load the instrument's FPGA flash. They share the device protocol's
// layout (16-bit code, 16-bit frame length, 32-bit address, body, checksum), little-endian throughout.
constexpr std::uint16_t kWriteCode = 210;     // 0xD2
constexpr std::uint16_t kReadCode = 215;      // 0xD7
constexpr std::uint16_t kConfigureCode = 246; // 0xF6

constexpr std::size_t kBlockSize = 512;
constexpr std::size_t kBodyOffset = 8;
constexpr std::size_t kWriteFrameSize = kBodyOffset + kBlockSize + 1; // 521
constexpr std::size_t kReadFrameSize = 11;                            // address, then the byte count
constexpr std::size_t kConfigureFrameSize = 9;

constexpr std::size_t kWriteReplySize = 9;
constexpr std::size_t kConfigureReplySize = 9;
constexpr std::size_t kReadDataOffset = 10;                              // after the echoed byte count
constexpr std::size_t kReadReplySize = kReadDataOffset + kBlockSize + 1; // 523

// The configure frame's address field: a key, so that no stray frame reloads the FPGA.
constexpr std::uint8_t kConfigureKey[4] = {0x44, 0x55, 0xBB, 0xAA};

// The flash holds every byte of a raw image with its bit order reversed (bit 0 <-> bit 7, ...).
constexpr std::uint8_t ReverseBits(std::uint8_t b) {
    b = static_cast<std::uint8_t>((b & 0xF0) >> 4 | (b & 0x0F) << 4);
    b = static_cast<std::uint8_t>((b & 0xCC) >> 2 | (b & 0x33) << 2);
    return static_cast<std::uint8_t>((b & 0xAA) >> 1 | (b & 0x55) << 1);
}

} // namespace orvane::flash
