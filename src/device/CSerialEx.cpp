#include "device/CSerialEx.h"

#include <cerrno>
#include <sys/eventfd.h>
#include <unistd.h>

namespace orvane {

using namespace serial;

CSerialEx::CSerialEx() = default;

CSerialEx::~CSerialEx() {
    CSerialEx::ClosePort();
}

std::int32_t CSerialEx::OpenPort(const std::string& name, std::uint32_t inQueue, std::uint32_t outQueue,
                                 bool startThread) {
    if (IsOpen())
        return Fail(kAlreadyOpen);
    const std::int32_t status = CSerial::OpenPort(name, inQueue, outQueue, true);
    if (status != kSuccess)
        return status;
    wakeFd_ = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (wakeFd_ < 0) {
        const int error = errno;
        CSerial::ClosePort();
        return Fail(error);
    }
    if (startThread) {
        const std::int32_t started = StartEventThread();
        if (started != kSuccess) {
            ClosePort();
            return Fail(started);
        }
    }
    return Succeed();
}

std::int32_t CSerialEx::ClosePort() {
    StopEventThread(1000);
    if (wakeFd_ >= 0) {
        ::close(wakeFd_);
        wakeFd_ = -1;
    }
    return CSerial::ClosePort();
}

std::int32_t CSerialEx::StartEventThread() {
    if (!IsOpen())
        return Fail(kNotOpen);
    if (thread_.joinable() && !threadEnded_)
        return Succeed();
    if (thread_.joinable())
        thread_.join();
    stop_ = false;
    threadEnded_ = false;
    threadError_ = 0;
    inputArmed_ = true;
    try {
        thread_ = std::thread(&CSerialEx::ThreadMain, this);
    } catch (const std::system_error& e) {
        return Fail(e.code().value());
    }
    return Succeed();
}

std::int32_t CSerialEx::StopEventThread(std::uint32_t) {
    if (!thread_.joinable())
        return Succeed();
    stop_ = true;
    // Re-applying the mask is what wakes the thread.
    if (IsOpen())
        SetEventMask(eventMask_);
    Wake();
    thread_.join();
    stop_ = false;
    return Succeed();
}

void CSerialEx::Wake() {
    if (wakeFd_ >= 0) {
        const std::uint64_t one = 1;
        [[maybe_unused]] const ssize_t n = ::write(wakeFd_, &one, sizeof one);
    }
}

void CSerialEx::OnInputRead() {
    if (!inputArmed_.exchange(true))
        Wake();
}

void CSerialEx::OnMaskChanged() {
    Wake();
}

void CSerialEx::ThreadMain() {
    while (!stop_) {
        std::uint32_t events = 0;
        const std::int32_t status = PollEvents(wakeFd_, inputArmed_, PeriodicCheckMs(), events);
        if (stop_)
            break;
        if (status != kSuccess) {
            threadError_ = status;
            break;
        }
        events &= eventMask_;
        if (events == 0)
            continue;
        const std::uint32_t errors = FetchLineErrors();
        // Disarm before reporting: the behaviour thread may read and re-arm before OnSerialEvent returns.
        if (events & kEventReceived)
            inputArmed_ = false;
        OnSerialEvent(events, errors);
    }
    threadEnded_ = true;
}

} // namespace orvane
