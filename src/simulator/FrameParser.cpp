#include "simulator/FrameParser.h"

#include "device/Frames.h"

#include <algorithm>
#include <cstring>

namespace orvane {

namespace {
constexpr std::uint8_t kFlashWrite = 0xD2;
constexpr std::uint8_t kFlashRead = 0xD7;
constexpr std::uint8_t kConfigure = 0xF6;
} // namespace

bool FrameParser::KnownCode(std::uint8_t low, std::uint8_t high) {
    if (high != 0)
        return false;
    return low == frames::kReadOpcode || low == frames::kWriteOpcode || low == kFlashWrite ||
           low == kFlashRead || low == kConfigure;
}

std::size_t FrameParser::Feed(const std::uint8_t* data, std::size_t count) {
    const std::size_t taken = std::min(count, buffer_.size() - size_);
    std::memcpy(buffer_.data() + size_, data, taken);
    size_ += taken;
    return taken;
}

void FrameParser::Consume(std::size_t count) {
    std::memmove(buffer_.data(), buffer_.data() + count, size_ - count);
    size_ -= count;
}

bool FrameParser::Next(Frame& frame) {
    for (;;) {
        if (size_ < 4)
            return false;
        const std::size_t length = frames::Get16(buffer_.data() + 2);
        if (!KnownCode(buffer_[0], buffer_[1]) || length < 9 || length > kMaxFrame) {
            Consume(1);
            continue;
        }
        if (size_ < length)
            return false;
        std::memcpy(frame_.data(), buffer_.data(), length);
        Consume(length);
        frame.bytes = frame_.data();
        frame.size = length;
        frame.valid = frames::Checksum(frame_.data(), length - 1) == frame_[length - 1];
        return true;
    }
}

} // namespace orvane
