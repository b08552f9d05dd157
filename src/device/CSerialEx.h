#pragma once

#include "device/CSerial.h"

#include <atomic>
#include <thread>

namespace orvane {

// A serial port with an event thread. The thread only waits and reports: it polls the port and a wake-up
// descriptor, so closing or changing the mask ends its wait at once. Arriving data is reported once; the
// thread then stops watching for input until the behaviour thread has read from the port, so bytes that
// nobody reads never make it spin.
class CSerialEx : public CSerial {
public:
    CSerialEx();
    ~CSerialEx() override;

    // Always opens for asynchronous use; startThread starts the event thread at once.
    std::int32_t OpenPort(const std::string& name, std::uint32_t inQueue = 0, std::uint32_t outQueue = 0,
                          bool startThread = false) override;
    std::int32_t ClosePort() override;

    virtual std::int32_t StartEventThread();
    // Ends the thread's wait and joins it. The thread never blocks anywhere but in its wait, so it ends at
    // once; timeoutMs is kept for callers that pass one.
    virtual std::int32_t StopEventThread(std::uint32_t timeoutMs = 1000);

    bool IsListening() const { return thread_.joinable() && !threadEnded_; }
    // Why the thread ended by itself (a hang-up gives EIO); 0 while it runs or after a normal stop.
    std::int32_t ThreadError() const { return threadError_; }

protected:
    // Runs on the event thread with the masked event bits and the line's pending error bits.
    virtual void OnSerialEvent(std::uint32_t events, std::uint32_t errors) = 0;

    void OnInputRead() override;
    void OnMaskChanged() override;

private:
    void ThreadMain();
    void Wake();

    int wakeFd_ = -1;
    std::thread thread_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> threadEnded_{false};
    std::atomic<bool> inputArmed_{true};
    std::atomic<std::int32_t> threadError_{0};
};

} // namespace orvane
