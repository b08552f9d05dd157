#pragma once

#include "simulator/FrameParser.h"
#include "simulator/SimulatedInstrument.h"
#include "simulator/SimulatorOptions.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace orvane {

// Serves a SimulatedInstrument on the far side of a pseudo-terminal, on its own thread. The device path
// behaves like an instrument's port: the host may open, close and reopen it as often as it likes.
class PtySimulator {
public:
    PtySimulator(const Clock& clock, const SimulatorOptions& options);
    ~PtySimulator();
    PtySimulator(const PtySimulator&) = delete;
    PtySimulator& operator=(const PtySimulator&) = delete;

    // Creates the pseudo-terminal and starts serving; returns 0 or an errno value.
    int Start();
    void Stop();

    const std::string& DevicePath() const { return devicePath_; }
    SimulatedInstrument& Instrument() { return instrument_; }

    // What the host sent and what it got, for tests.
    unsigned FramesReceived() const { return framesReceived_; }
    unsigned RepliesSent() const { return repliesSent_; }
    unsigned InvalidFrames() const { return invalidFrames_; }
    bool Unplugged() const { return unplugged_; }

    // With recordHistory: every answered frame with the start of its reply as built (before any fault
    // touched it).
    struct Exchange {
        std::vector<std::uint8_t> frame;
        std::vector<std::uint8_t> reply;
    };
    std::vector<Exchange> History() const;

private:
    void Serve();
    void HandleInput(const std::uint8_t* data, std::size_t count);
    void Reply(std::size_t length);
    bool WriteAll(const std::uint8_t* data, std::size_t count);
    void SendStray(std::size_t count);
    void Unplug();
    void Record(const FrameParser::Frame& frame, std::size_t replyLength);

    static constexpr std::size_t kHistoryReplyBytes = 64;

    SimulatorOptions options_;
    SimulatedInstrument instrument_;
    FrameParser parser_;
    std::array<std::uint8_t, SimulatedInstrument::kMaxReply + 16> reply_{};
    int master_ = -1;
    int slave_ = -1; // held open so the line does not hang up between the host's sessions
    int stopFd_ = -1;
    std::string devicePath_;
    std::thread thread_;
    std::atomic<bool> stopping_{false};
    std::atomic<unsigned> framesReceived_{0};
    std::atomic<unsigned> repliesSent_{0};
    std::atomic<unsigned> invalidFrames_{0};
    std::atomic<bool> unplugged_{false};
    std::uint32_t strayState_ = 0x12345678;
    mutable std::mutex historyMutex_;
    std::vector<Exchange> history_;
};

} // namespace orvane
