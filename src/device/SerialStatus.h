#pragma once

#include <cstdint>

namespace orvane::serial {

// Status codes keep the values the rest of the program and its users know from the original platform.
constexpr std::int32_t kSuccess = 0;
constexpr std::int32_t kNotAsynchronous = 1; // a completion record or finite time-out on a synchronous port
constexpr std::int32_t kNotOpen = 6;
constexpr std::int32_t kIoPending = 997; // started with a completion record, not finished yet
constexpr std::int32_t kAlreadyOpen = 1247;
constexpr std::int32_t kTimedOut = 1460;
constexpr std::int32_t kInvalidArgument = static_cast<std::int32_t>(0x80070057u);

constexpr std::uint32_t kInfinite = 0xFFFFFFFFu;

// Line-event bits.
constexpr std::uint32_t kEventReceived = 0x0001;
constexpr std::uint32_t kEventCharacter = 0x0002;
constexpr std::uint32_t kEventTransmitEmpty = 0x0004;
constexpr std::uint32_t kEventCts = 0x0008;
constexpr std::uint32_t kEventDsr = 0x0010;
constexpr std::uint32_t kEventCarrier = 0x0020;
constexpr std::uint32_t kEventBreak = 0x0040;
constexpr std::uint32_t kEventLineError = 0x0080;
constexpr std::uint32_t kEventRing = 0x0100;
constexpr std::uint32_t kModemEvents = kEventCts | kEventDsr | kEventCarrier | kEventRing;

// Line-error bits, carried in the high half of a serial notification.
constexpr std::uint32_t kErrorReceiveOverflow = 0x0001;
constexpr std::uint32_t kErrorOverrun = 0x0002;
constexpr std::uint32_t kErrorParity = 0x0004;
constexpr std::uint32_t kErrorFrame = 0x0008;
constexpr std::uint32_t kErrorBreak = 0x0010;

enum FlowControl : int { kFlowOff = 0, kFlowHardware = 1, kFlowSoftware = 2, kFlowRtsCts = 3 };
enum ReadMode : int { kReadNonBlocking = 0, kReadBlocking = 1 };
enum Parity : int { kParityNone = 0, kParityOdd = 1, kParityEven = 2, kParityMark = 3, kParitySpace = 4 };
enum StopBits : int { kStopOne = 0, kStopOneAndHalf = 1, kStopTwo = 2 };

} // namespace orvane::serial
