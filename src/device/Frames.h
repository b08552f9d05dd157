#pragma once

#include <cstddef>
#include <cstdint>

namespace orvane::frames {

constexpr std::uint8_t kReadOpcode = 0x64;  // 'd'
constexpr std::uint8_t kWriteOpcode = 0x6E; // 'n'

constexpr std::uint8_t kSelectRead = 0x40;
constexpr std::uint8_t kSelectWrite = 0xC0;
constexpr std::uint8_t kSelectTrace = 0x00;
constexpr std::uint16_t kRegisterBase = 0x8000;

constexpr std::size_t kReadCommandSize = 11;
constexpr std::size_t kWriteHeaderSize = 8;
constexpr std::size_t kWriteReplySize = 9;
constexpr std::size_t kReadReplyOverhead = 25; // header 8, status block 16, checksum 1
constexpr std::size_t kStatusBlockOffset = 8;
constexpr std::size_t kStatusBlockSize = 16;
constexpr std::size_t kReadDataOffset = 24;

constexpr std::size_t kMaxWritePayload = 256; // registers 0..127
constexpr std::size_t kMaxReadData = 32768;   // half a spectrum of 8192 channels
constexpr std::size_t kTransmitSize = kWriteHeaderSize + kMaxWritePayload + 1; // 265
constexpr std::size_t kReceiveSize = kMaxReadData + kReadReplyOverhead;        // 32793

constexpr std::uint32_t Address(std::uint8_t selector, std::uint16_t word) {
    return (static_cast<std::uint32_t>(selector) << 16) | word;
}

inline std::uint16_t Get16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

inline std::uint32_t Get32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

inline void Put16(std::uint8_t* p, std::uint16_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}

inline void Put32(std::uint8_t* p, std::uint32_t v) {
    Put16(p, static_cast<std::uint16_t>(v));
    Put16(p + 2, static_cast<std::uint16_t>(v >> 16));
}

// The byte that makes the 8-bit sum of a whole frame equal 1.
inline std::uint8_t Checksum(const std::uint8_t* bytes, std::size_t count) {
    std::uint32_t sum = 0;
    for (std::size_t i = 0; i < count; ++i)
        sum += bytes[i];
    return static_cast<std::uint8_t>(1u - sum);
}

} // namespace orvane::frames
