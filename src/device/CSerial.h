#pragma once

#include "device/IcountLineErrors.h"
#include "device/SerialCompletion.h"
#include "device/SerialStatus.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>
#include <termios.h>

namespace orvane {

// A serial port on a tty device. Every operation returns a status code (SerialStatus.h) and keeps it as the
// last error. The descriptor is always non-blocking; "synchronous" ports wait inside the call instead.
class CSerial {
public:
    CSerial();
    virtual ~CSerial();
    CSerial(const CSerial&) = delete;
    CSerial& operator=(const CSerial&) = delete;

    // Opens the device for exclusive use: no other opener, in this process or another, gets it while open.
    virtual std::int32_t OpenPort(const std::string& name, std::uint32_t inQueue = 0,
                                  std::uint32_t outQueue = 0, bool asynchronous = false);
    virtual std::int32_t ClosePort();

    virtual std::int32_t SetLineFormat(std::uint32_t baud, int dataBits, int parity, int stopBits);
    virtual std::int32_t SetEventCharacter(std::uint8_t character, bool addToMask = true);
    virtual std::int32_t SetEventMask(std::uint32_t mask);
    virtual std::int32_t WaitForEvent(SerialCompletion* record = nullptr,
                                      std::uint32_t timeoutMs = serial::kInfinite);
    virtual std::int32_t SetFlowControl(int mode);
    virtual std::int32_t SetReadMode(int mode);

    virtual std::uint32_t QueryBaudRate();
    virtual int QueryDataBits();
    virtual int QueryParity();
    virtual int QueryStopBits();
    virtual int QueryFlowControl();
    virtual std::uint32_t QueryEventMask();
    virtual std::uint8_t QueryEventCharacter();

    virtual std::int32_t WriteText(const char* text, std::size_t* written = nullptr,
                                   SerialCompletion* record = nullptr,
                                   std::uint32_t timeoutMs = serial::kInfinite);
    virtual std::int32_t WriteBytes(const void* data, std::size_t length, std::size_t* written = nullptr,
                                    SerialCompletion* record = nullptr,
                                    std::uint32_t timeoutMs = serial::kInfinite);
    virtual std::int32_t ReadBytes(void* buffer, std::size_t length, std::size_t* read = nullptr,
                                   SerialCompletion* record = nullptr,
                                   std::uint32_t timeoutMs = serial::kInfinite);

    // Finishes an operation started with a record, waiting at most timeoutMs (kTimedOut, and the operation
    // is cancelled, when it expires).
    std::int32_t GetResult(SerialCompletion& record, std::uint32_t timeoutMs);

    // Discards the driver's transmit and receive buffers.
    std::int32_t Purge();
    // Holds the line in the break state for 100 ms. Does nothing on a closed port.
    void Break();
    std::int32_t SetBreak();
    std::int32_t ClearBreak();

    // Takes and clears the line-error bits gathered since the last call.
    std::uint32_t FetchLineErrors();

    bool IsOpen() const { return fd_ >= 0; }
    bool IsAsynchronous() const { return asynchronous_; }
    std::int32_t GetLastError() const { return lastError_; }
    std::uint32_t GetEventBits() const { return eventBits_; }
    const std::string& PortName() const { return name_; }

    // Tests replace the driver's error counters; nullptr restores them.
    void SetLineErrorSource(LineErrorSource* source) { injectedErrors_ = source; }

protected:
    // One wait for line events on the port and, when wakeFd >= 0, on that descriptor too. events receives
    // the detected bits (possibly 0: woken, or a periodic check found nothing). Returns 0, or an error: a
    // hang-up or error condition on the port gives EIO.
    std::int32_t PollEvents(int wakeFd, bool watchInput, int timeoutMs, std::uint32_t& events);
    // How long a wait may sleep before the modem lines and error counters must be looked at again.
    int PeriodicCheckMs();

    // Called after every read from the port, and when the mask changes, so that an event thread can
    // watch the port again.
    virtual void OnInputRead() {}
    virtual void OnMaskChanged() {}

    std::int32_t Fail(std::int32_t code) { return lastError_ = code; }
    std::int32_t Succeed() { return lastError_ = serial::kSuccess; }
    LineErrorSource& Errors() { return injectedErrors_ ? *injectedErrors_ : icount_; }

    std::atomic<std::uint32_t> eventMask_{0};

private:
    bool ReadTermios(termios& tio);
    std::int32_t CheckTimeoutArgs(const SerialCompletion* record, std::uint32_t timeoutMs) const;
    std::int32_t ContinueRead(SerialCompletion& record, std::int64_t deadlineMs);
    std::int32_t ContinueWrite(SerialCompletion& record, std::int64_t deadlineMs);
    std::int32_t ContinueEventWait(SerialCompletion& record, std::int64_t deadlineMs);
    std::uint32_t ModemEvents();
    std::uint32_t TransmitEmptyEvent();

    int fd_ = -1;
    std::string name_;
    bool asynchronous_ = false;
    std::int32_t lastError_ = 0;
    std::uint32_t eventBits_ = 0;
    std::uint8_t eventCharacter_ = 0;
    int readMode_ = serial::kReadNonBlocking;
    bool dtrHandshake_ = false; // termios has no DTR flow control; kept to answer QueryFlowControl
    int modemLines_ = -1;       // last TIOCMGET value, -1 when the driver has no modem lines
    std::atomic<bool> transmitPending_{false};
    IcountLineErrors icount_;
    LineErrorSource* injectedErrors_ = nullptr;
};

} // namespace orvane
