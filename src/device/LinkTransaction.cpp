#include "device/LinkTransaction.h"

#include <algorithm>
#include <cstring>

namespace orvane {

using namespace frames;

LinkTransaction::LinkTransaction(CSerial& port, OutputLog& log, Poster& poster, LinkTransactionClient& client)
    : port_(port), log_(log), poster_(poster), client_(client) {}

LinkTransaction::~LinkTransaction() {
    Reset();
}

void LinkTransaction::Prepare(CommandKind kind, std::uint32_t address, std::uint16_t size) {
    kind_ = kind;
    address_ = address;
    if (kind == CommandKind::RegisterWrite)
        writeSize_ = std::min<std::uint16_t>(size, kMaxWritePayload);
    else
        readSize_ = std::min<std::uint16_t>(size, kMaxReadData);
    received_ = 0;
    retry_ = 1;
}

int LinkTransaction::SendRead() {
    return Step(true);
}

int LinkTransaction::SendWrite() {
    return Step(false);
}

int LinkTransaction::Step(bool read) {
    if (retry_ >= kMaxRetry)
        return -1;
    if (received_ == 0) {
        std::uint8_t* f = transmit_.data();
        f[0] = read ? kReadOpcode : kWriteOpcode;
        f[1] = 0;
        Put32(f + 4, address_);
        if (read) {
            Put16(f + 2, kReadCommandSize);
            Put16(f + 8, readSize_);
            transmitLength_ = kReadCommandSize;
            expected_ = readSize_ + kReadReplyOverhead;
        } else {
            transmitLength_ = kWriteHeaderSize + writeSize_ + 1;
            Put16(f + 2, static_cast<std::uint16_t>(transmitLength_));
            expected_ = kWriteReplySize;
        }
        f[transmitLength_ - 1] = Checksum(f, transmitLength_ - 1);
        Send();
        return 1;
    }
    if (!CheckReply(read))
        return Repeat(read);
    responding_ = true;
    if (read) {
        readError_ = false;
        client_.StoreReadings(
            DecodeStatusBlock(receive_.data() + kStatusBlockOffset, client_.PlatformCode()));
    } else {
        expected_ = kExpectNothing;
    }
    client_.OnCommandComplete();
    return 2;
}

void LinkTransaction::Send() {
    received_ = 0;
    busy_ = true;
    countdown_ = kCountdownTicks;
    // The result is not examined: a frame that does not go out shows up as a missing reply.
    port_.WriteBytes(transmit_.data(), transmitLength_, nullptr, nullptr, 2000);
}

// The five tests run in order and all of them run; any failure marks the reply.
bool LinkTransaction::CheckReply(bool read) {
    const std::uint8_t* r = receive_.data();
    const std::uint8_t* t = transmit_.data();
    const std::size_t last = expected_ - 1; // checksum position
    bool echoFailed = false;
    replyError_ = received_ != expected_;
    if (r[0] != t[0] || r[1] != t[1])
        echoFailed = true;
    if (Get16(r + 2) != expected_)
        echoFailed = true;
    if (Get16(r + 4) != Get16(t + 4) || Get16(r + 6) != Get16(t + 6))
        echoFailed = true;
    if (last < receive_.size() && r[last] != Checksum(r, last))
        echoFailed = true;
    replyError_ = replyError_ || echoFailed;
    if (read && echoFailed)
        readError_ = true;
    std::memset(receive_.data(), 0, kWriteHeaderSize);
    return !replyError_;
}

int LinkTransaction::Repeat(bool read) {
    ++retry_;
    if (retry_ >= kMaxRetry) {
        log_.AddLine(read ? "Max Number of Repeat Read Reached" : " Max Number of Repeat Write Reached");
        retry_ = kMaxRetry;
        responding_ = false;
        return -1;
    }
    log_.AddLine(read ? "Repeat Read Command" : "Repeat Write Command");
    // During the pause the link stays busy, nothing is read and the countdown stands still.
    pauseTimer_ = poster_.PostAfter(kRepeatPauseMs, [this, read] { EndPause(read); });
    return 0;
}

void LinkTransaction::EndPause(bool read) {
    pauseTimer_ = 0;
    port_.Purge();
    DrainInput();
    received_ = 0;
    busy_ = true;
    if (read)
        readError_ = true;
    countdown_ = kCountdownTicks;
    port_.WriteBytes(transmit_.data(), transmitLength_, nullptr, nullptr, 2000);
}

void LinkTransaction::OnDataReceived() {
    if (!port_.IsOpen() || Pausing())
        return;
    std::size_t room = 0;
    if (busy_ && expected_ > received_)
        room = std::min(expected_, receive_.size()) - std::min(received_, receive_.size());
    if (room == 0) {
        // No reply is due: the bytes are dropped, never kept to be taken for a later reply.
        port_.ReadBytes(discard_.data(), discard_.size());
        return;
    }
    std::size_t count = 0;
    port_.ReadBytes(receive_.data() + received_, room, &count);
    received_ += count;
    if (received_ < expected_)
        return;
    if (transmit_[0] == kReadOpcode)
        SendRead();
    else
        SendWrite();
    received_ = 0;
}

void LinkTransaction::TimeoutTick() {
    if (!busy_ || Pausing())
        return;
    if (countdown_ > 0) {
        --countdown_;
        return;
    }
    if (received_ == 0)
        received_ = expected_ - 1;
    countdown_ = kCountdownTicks;
    const int result = transmit_[0] == kReadOpcode ? SendRead() : SendWrite();
    if (result != -1)
        return;
    log_.AddLine("Communication Time Out- Timer");
    countdown_ = 0;
    busy_ = false;
    received_ = 0;
    readError_ = true;
    client_.OnCommunicationTimeout();
}

void LinkTransaction::DrainInput() {
    // Bounded, so that a line that never stops talking cannot hold the program here.
    std::uint8_t bytes[10];
    for (std::size_t total = 0; port_.IsOpen() && total < kExpectNothing;) {
        std::size_t count = 0;
        port_.ReadBytes(bytes, sizeof bytes, &count);
        if (count == 0)
            break;
        total += count;
    }
}

void LinkTransaction::Reset() {
    if (pauseTimer_ != 0) {
        poster_.Cancel(pauseTimer_);
        pauseTimer_ = 0;
    }
    busy_ = false;
    received_ = 0;
    retry_ = 1;
    countdown_ = 0;
}

} // namespace orvane
