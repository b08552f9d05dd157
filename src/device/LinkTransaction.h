#pragma once

#include "device/CSerial.h"
#include "device/Frames.h"
#include "session/Readings.h"
#include "shell/OutputLog.h"
#include "shell/Poster.h"

#include <array>
#include <cstdint>

namespace orvane {

enum class CommandKind { SpectrumChunk, RegisterWrite, TraceRead, RegisterRead };

// What the link does with an exchange's outcome.
class LinkTransactionClient {
public:
    virtual ~LinkTransactionClient() = default;
    // The platform whose rules decode the status block of the reply being accepted.
    virtual int PlatformCode() const = 0;
    virtual void StoreReadings(const Readings& readings) = 0;
    // A reply was accepted; busy is still set, so starters called from here only queue.
    virtual void OnCommandComplete() = 0;
    // The time-out tick gave up on a command after its last repetition.
    virtual void OnCommunicationTimeout() = 0;
};

// One command on the wire at a time: frames built in place in fixed buffers, the reply collected across
// notifications and checked, repetitions after a pause, and the time-out countdown.
class LinkTransaction {
public:
    static constexpr int kCountdownTicks = 22;
    static constexpr int kMaxRetry = 5;
    static constexpr std::int64_t kRepeatPauseMs = 1000;
    static constexpr std::size_t kExpectNothing = 100000; // no reply reaches it

    LinkTransaction(CSerial& port, OutputLog& log, Poster& poster, LinkTransactionClient& client);
    ~LinkTransaction();
    LinkTransaction(const LinkTransaction&) = delete;
    LinkTransaction& operator=(const LinkTransaction&) = delete;

    // Prepares a command: kind, address, payload (write) or read size in bytes, received 0, retry 1.
    void Prepare(CommandKind kind, std::uint32_t address, std::uint16_t size);
    // A write's payload words go here, little-endian, before SendWrite.
    std::uint8_t* Payload() { return transmit_.data() + frames::kWriteHeaderSize; }

    // 1 sent; 2 reply accepted; 0 rejected and repeated; -1 failed for good.
    int SendRead();
    int SendWrite();

    // For each notification that reports received data.
    void OnDataReceived();
    // For each tick of the 200 ms link timer.
    void TimeoutTick();
    // Reads and discards whatever is waiting.
    void DrainInput();
    // Forgets the outstanding command: not busy, no repetition pending, nothing received.
    void Reset();

    // The accepted reply's data (registers, counts or trace words) and its size in bytes.
    const std::uint8_t* ReplyData() const { return receive_.data() + frames::kReadDataOffset; }
    std::uint16_t ReadSize() const { return readSize_; }
    std::uint32_t Address() const { return address_; }
    CommandKind Kind() const { return kind_; }

    bool Busy() const { return busy_; }
    void SetBusy(bool busy) { busy_ = busy; }
    bool Responding() const { return responding_; }
    void SetResponding(bool responding) { responding_ = responding; }
    bool ReadError() const { return readError_; }
    void SetReadError(bool error) { readError_ = error; }
    bool ReplyError() const { return replyError_; }
    bool Pausing() const { return pauseTimer_ != 0; }
    int Countdown() const { return countdown_; }
    int RetryCount() const { return retry_; }
    std::size_t Expected() const { return expected_; }
    std::size_t Received() const { return received_; }

private:
    int Step(bool read);
    void Send();
    bool CheckReply(bool read);
    int Repeat(bool read);
    void EndPause(bool read);

    CSerial& port_;
    OutputLog& log_;
    Poster& poster_;
    LinkTransactionClient& client_;

    std::array<std::uint8_t, frames::kTransmitSize> transmit_{};
    std::array<std::uint8_t, frames::kReceiveSize> receive_{};
    std::array<std::uint8_t, 1024> discard_{};
    std::size_t transmitLength_ = 0;
    std::size_t expected_ = kExpectNothing;
    std::size_t received_ = 0;
    int retry_ = 1;
    bool busy_ = false;
    int countdown_ = 0;
    bool replyError_ = false;
    bool readError_ = false;
    bool responding_ = false;
    CommandKind kind_ = CommandKind::RegisterRead;
    std::uint32_t address_ = 0;
    std::uint16_t writeSize_ = 0;
    std::uint16_t readSize_ = 0;
    TimerId pauseTimer_ = 0;
};

} // namespace orvane
