#include "device/CSerial.h"

#include "device/TermiosLineFormat.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace orvane {

using namespace serial;

namespace {

std::int64_t NowMs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<std::int64_t>(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}

constexpr std::int64_t kNoDeadline = -1;
constexpr std::int64_t kStartOnly = -2; // do what needs no waiting, then report kIoPending

std::int64_t DeadlineOf(std::uint32_t timeoutMs) {
    return timeoutMs == kInfinite ? kNoDeadline : NowMs() + timeoutMs;
}

// Milliseconds left until a deadline, for poll(); -1 waits without limit.
int Remaining(std::int64_t deadlineMs) {
    if (deadlineMs == kStartOnly)
        return 0;
    if (deadlineMs < 0)
        return -1;
    return static_cast<int>(std::max<std::int64_t>(0, deadlineMs - NowMs()));
}

// A started operation is left pending; a waited one times out and is cancelled.
std::int32_t Expired(SerialCompletion& op, std::int64_t deadlineMs) {
    if (deadlineMs == kStartOnly)
        return kIoPending;
    op.complete = true;
    return op.status = kTimedOut;
}

constexpr int kPeriodicCheckMs = 50;
constexpr int kTransmitCheckMs = 2;

} // namespace

CSerial::CSerial() = default;

CSerial::~CSerial() {
    CSerial::ClosePort();
}

std::int32_t CSerial::OpenPort(const std::string& name, std::uint32_t, std::uint32_t, bool asynchronous) {
    // Driver queue sizes have no counterpart on a tty; the kernel sizes its buffers itself.
    if (fd_ >= 0)
        return Fail(kAlreadyOpen);
    const int fd = ::open(name.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return Fail(errno);
    auto failWith = [&](int code) {
        ::close(fd);
        return Fail(code);
    };
    if (!isatty(fd))
        return failWith(ENOTTY);
    // TIOCEXCL keeps other users out but not root; the lock keeps out everyone who asks for it.
    if (flock(fd, LOCK_EX | LOCK_NB) != 0)
        return failWith(errno == EWOULDBLOCK ? EBUSY : errno);
    if (ioctl(fd, TIOCEXCL) != 0)
        return failWith(errno);
    // The port's default configuration: raw bytes at its current speed, receiver on, modem lines ignored.
    termios tio{};
    if (tcgetattr(fd, &tio) != 0)
        return failWith(errno);
    cfmakeraw(&tio);
    tio.c_cflag |= CLOCAL | CREAD;
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    if (tcsetattr(fd, TCSANOW, &tio) != 0)
        return failWith(errno);

    fd_ = fd;
    name_ = name;
    asynchronous_ = asynchronous;
    eventBits_ = 0;
    readMode_ = kReadNonBlocking;
    dtrHandshake_ = false;
    transmitPending_ = false;
    int lines = 0;
    modemLines_ = ioctl(fd, TIOCMGET, &lines) == 0 ? lines : -1;
    icount_.Attach(fd);
    eventMask_ = kEventReceived | kEventBreak | kEventLineError;
    return Succeed();
}

std::int32_t CSerial::ClosePort() {
    if (fd_ >= 0) {
        // Without this a port that another descriptor keeps open stays exclusive after we leave.
        ioctl(fd_, TIOCNXCL);
        ::close(fd_);
        fd_ = -1;
        icount_.Attach(-1);
    }
    return Succeed();
}

std::int32_t CSerial::SetLineFormat(std::uint32_t baud, int dataBits, int parity, int stopBits) {
    if (fd_ < 0)
        return Fail(kNotOpen);
    termios tio{};
    if (tcgetattr(fd_, &tio) != 0)
        return Fail(errno);
    if (const std::int32_t bad = termios_line::Compose(tio, baud, dataBits, parity, stopBits))
        return Fail(bad);
    // Reads return at once with what is waiting; writes have no total time-out.
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    if (tcsetattr(fd_, TCSANOW, &tio) != 0)
        return Fail(errno);
    readMode_ = kReadNonBlocking;
    return Succeed();
}

std::int32_t CSerial::SetEventCharacter(std::uint8_t character, bool addToMask) {
    if (fd_ < 0)
        return Fail(kNotOpen);
    eventCharacter_ = character;
    if (addToMask)
        return SetEventMask(eventMask_ | kEventCharacter);
    return Succeed();
}

std::int32_t CSerial::SetEventMask(std::uint32_t mask) {
    if (fd_ < 0)
        return Fail(kNotOpen);
    eventMask_ = mask;
    OnMaskChanged();
    return Succeed();
}

std::int32_t CSerial::SetFlowControl(int mode) {
    if (mode < kFlowOff || mode > kFlowRtsCts)
        return Fail(kInvalidArgument);
    if (fd_ < 0)
        return Fail(kNotOpen);
    termios tio{};
    if (tcgetattr(fd_, &tio) != 0)
        return Fail(errno);
    tio.c_cflag &= ~CRTSCTS;
    tio.c_iflag &= ~(IXON | IXOFF | IXANY);
    if (mode == kFlowHardware || mode == kFlowRtsCts)
        tio.c_cflag |= CRTSCTS;
    if (mode == kFlowSoftware)
        tio.c_iflag |= IXON | IXOFF;
    if (tcsetattr(fd_, TCSANOW, &tio) != 0)
        return Fail(errno);
    dtrHandshake_ = mode == kFlowHardware;
    return Succeed();
}

std::int32_t CSerial::SetReadMode(int mode) {
    if (mode != kReadNonBlocking && mode != kReadBlocking)
        return Fail(kInvalidArgument);
    if (fd_ < 0)
        return Fail(kNotOpen);
    readMode_ = mode;
    return Succeed();
}

bool CSerial::ReadTermios(termios& tio) {
    if (fd_ < 0)
        return Fail(kNotOpen), false;
    if (tcgetattr(fd_, &tio) != 0)
        return Fail(errno), false;
    Succeed();
    return true;
}

std::uint32_t CSerial::QueryBaudRate() {
    termios tio{};
    return ReadTermios(tio) ? termios_line::Baud(tio) : 0;
}

int CSerial::QueryDataBits() {
    termios tio{};
    return ReadTermios(tio) ? termios_line::DataBits(tio) : 0;
}

int CSerial::QueryParity() {
    termios tio{};
    return ReadTermios(tio) ? termios_line::Parity(tio) : 0;
}

int CSerial::QueryStopBits() {
    termios tio{};
    return ReadTermios(tio) ? termios_line::StopBits(tio) : 0;
}

int CSerial::QueryFlowControl() {
    termios tio{};
    if (!ReadTermios(tio))
        return 0;
    if (dtrHandshake_ && (tio.c_cflag & CRTSCTS))
        return kFlowHardware;
    if ((tio.c_iflag & IXON) && (tio.c_iflag & IXOFF))
        return kFlowSoftware;
    return kFlowOff;
}

std::uint32_t CSerial::QueryEventMask() {
    if (fd_ < 0)
        return Fail(kNotOpen), 0;
    Succeed();
    return eventMask_;
}

std::uint8_t CSerial::QueryEventCharacter() {
    if (fd_ < 0)
        return Fail(kNotOpen), 0;
    Succeed();
    return eventCharacter_;
}

std::int32_t CSerial::CheckTimeoutArgs(const SerialCompletion* record, std::uint32_t timeoutMs) const {
    if (!asynchronous_ && (record != nullptr || timeoutMs != kInfinite))
        return kNotAsynchronous;
    return kSuccess;
}

std::int32_t CSerial::WriteText(const char* text, std::size_t* written, SerialCompletion* record,
                                std::uint32_t timeoutMs) {
    return WriteBytes(text, std::strlen(text), written, record, timeoutMs);
}

std::int32_t CSerial::WriteBytes(const void* data, std::size_t length, std::size_t* written,
                                 SerialCompletion* record, std::uint32_t timeoutMs) {
    if (written)
        *written = 0;
    if (fd_ < 0)
        return Fail(kNotOpen);
    if (const std::int32_t bad = CheckTimeoutArgs(record, timeoutMs))
        return Fail(bad);
    SerialCompletion local;
    SerialCompletion& op = record ? *record : local;
    op = SerialCompletion{SerialCompletion::Kind::Write, false, 0, 0, 0, nullptr, data, length};
    const std::int32_t status = ContinueWrite(op, record ? kStartOnly : DeadlineOf(timeoutMs));
    if (written)
        *written = op.transferred;
    return Fail(status);
}

std::int32_t CSerial::ReadBytes(void* buffer, std::size_t length, std::size_t* read, SerialCompletion* record,
                                std::uint32_t timeoutMs) {
    if (read)
        *read = 0;
    if (fd_ < 0)
        return Fail(kNotOpen);
    if (const std::int32_t bad = CheckTimeoutArgs(record, timeoutMs))
        return Fail(bad);
    SerialCompletion local;
    SerialCompletion& op = record ? *record : local;
    op = SerialCompletion{SerialCompletion::Kind::Read, false, 0, 0, 0, buffer, nullptr, length};
    const std::int32_t status = ContinueRead(op, record ? kStartOnly : DeadlineOf(timeoutMs));
    OnInputRead();
    if (read)
        *read = op.transferred;
    return Fail(status);
}

std::int32_t CSerial::WaitForEvent(SerialCompletion* record, std::uint32_t timeoutMs) {
    if (fd_ < 0)
        return Fail(kNotOpen);
    if (const std::int32_t bad = CheckTimeoutArgs(record, timeoutMs))
        return Fail(bad);
    SerialCompletion local;
    SerialCompletion& op = record ? *record : local;
    op = SerialCompletion{SerialCompletion::Kind::Event, false, 0, 0, 0, nullptr, nullptr, 0};
    const std::int32_t status = ContinueEventWait(op, record ? kStartOnly : DeadlineOf(timeoutMs));
    if (op.complete)
        eventBits_ = op.events;
    return Fail(status);
}

std::int32_t CSerial::GetResult(SerialCompletion& record, std::uint32_t timeoutMs) {
    if (fd_ < 0)
        return Fail(kNotOpen);
    if (record.complete)
        return Fail(record.status);
    const std::int64_t deadline = DeadlineOf(timeoutMs);
    std::int32_t status = kSuccess;
    switch (record.kind) {
    case SerialCompletion::Kind::Read:
        status = ContinueRead(record, deadline);
        OnInputRead();
        break;
    case SerialCompletion::Kind::Write:
        status = ContinueWrite(record, deadline);
        break;
    case SerialCompletion::Kind::Event:
        status = ContinueEventWait(record, deadline);
        if (record.complete)
            eventBits_ = record.events;
        break;
    case SerialCompletion::Kind::None:
        status = EINVAL;
        break;
    }
    return Fail(status);
}

// A deadline equal to "now" means: do what can be done without waiting, then report kIoPending.
std::int32_t CSerial::ContinueRead(SerialCompletion& op, std::int64_t deadlineMs) {
    auto* out = static_cast<std::uint8_t*>(op.readBuffer);
    for (;;) {
        if (op.transferred < op.length) {
            const ssize_t n = ::read(fd_, out + op.transferred, op.length - op.transferred);
            if (n > 0) {
                op.transferred += static_cast<std::size_t>(n);
                continue;
            }
            if (n < 0 && errno != EAGAIN && errno != EINTR) {
                op.complete = true;
                return op.status = errno;
            }
        }
        if (readMode_ == kReadNonBlocking || op.transferred >= op.length) {
            op.complete = true;
            return op.status = kSuccess;
        }
        const int wait = Remaining(deadlineMs);
        if (wait == 0)
            return Expired(op, deadlineMs);
        pollfd p{fd_, POLLIN, 0};
        if (::poll(&p, 1, wait) < 0 && errno != EINTR) {
            op.complete = true;
            return op.status = errno;
        }
        if (p.revents & (POLLHUP | POLLERR | POLLNVAL)) {
            op.complete = true;
            return op.status = EIO;
        }
    }
}

std::int32_t CSerial::ContinueWrite(SerialCompletion& op, std::int64_t deadlineMs) {
    const auto* in = static_cast<const std::uint8_t*>(op.writeData);
    while (op.transferred < op.length) {
        const ssize_t n = ::write(fd_, in + op.transferred, op.length - op.transferred);
        if (n > 0) {
            op.transferred += static_cast<std::size_t>(n);
            transmitPending_ = true;
            OnMaskChanged(); // lets an event thread watch for the transmit buffer running empty
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR) {
            op.complete = true;
            return op.status = errno;
        }
        const int wait = Remaining(deadlineMs);
        if (wait == 0)
            return Expired(op, deadlineMs);
        pollfd p{fd_, POLLOUT, 0};
        if (::poll(&p, 1, wait) < 0 && errno != EINTR) {
            op.complete = true;
            return op.status = errno;
        }
        if (p.revents & (POLLHUP | POLLERR | POLLNVAL)) {
            op.complete = true;
            return op.status = EIO;
        }
    }
    op.complete = true;
    return op.status = kSuccess;
}

std::int32_t CSerial::ContinueEventWait(SerialCompletion& op, std::int64_t deadlineMs) {
    for (;;) {
        const int remaining = Remaining(deadlineMs);
        const int period = PeriodicCheckMs();
        const int wait = period < 0 ? remaining : (remaining < 0 ? period : std::min(period, remaining));
        std::uint32_t events = 0;
        const std::int32_t status = PollEvents(-1, true, wait, events);
        if (status != kSuccess) {
            op.complete = true;
            return op.status = status;
        }
        if (events & eventMask_) {
            op.complete = true;
            op.events = events & eventMask_;
            return op.status = kSuccess;
        }
        if (Remaining(deadlineMs) == 0)
            return Expired(op, deadlineMs);
    }
}

int CSerial::PeriodicCheckMs() {
    const std::uint32_t mask = eventMask_;
    if ((mask & kEventTransmitEmpty) && transmitPending_)
        return kTransmitCheckMs;
    const bool modem = (mask & kModemEvents) && modemLines_ >= 0;
    const bool errors = (mask & (kEventBreak | kEventLineError)) && Errors().Available();
    return (modem || errors) ? kPeriodicCheckMs : -1;
}

std::int32_t CSerial::PollEvents(int wakeFd, bool watchInput, int timeoutMs, std::uint32_t& events) {
    events = 0;
    const std::uint32_t mask = eventMask_;
    pollfd fds[2] = {{fd_, static_cast<short>(watchInput && (mask & kEventReceived) ? POLLIN : 0), 0},
                     {wakeFd, POLLIN, 0}};
    const int n = ::poll(fds, wakeFd >= 0 ? 2 : 1, timeoutMs);
    if (n < 0)
        return errno == EINTR ? kSuccess : errno;
    if (wakeFd >= 0 && (fds[1].revents & POLLIN)) {
        std::uint64_t drained = 0;
        [[maybe_unused]] const ssize_t r = ::read(wakeFd, &drained, sizeof drained);
    }
    int waiting = 0;
    if (watchInput && (fds[0].revents & POLLIN) && ioctl(fd_, FIONREAD, &waiting) == 0 && waiting > 0)
        events |= kEventReceived;
    events |= Errors().Sample();
    events |= ModemEvents();
    events |= TransmitEmptyEvent();
    // Data that came with a hang-up is still reported; the hang-up ends the next wait.
    if ((fds[0].revents & (POLLHUP | POLLERR | POLLNVAL)) && !(events & mask & kEventReceived))
        return EIO;
    return kSuccess;
}

std::uint32_t CSerial::ModemEvents() {
    if (modemLines_ < 0 || !(eventMask_ & kModemEvents))
        return 0;
    int lines = 0;
    if (ioctl(fd_, TIOCMGET, &lines) != 0)
        return 0;
    const int changed = lines ^ modemLines_;
    std::uint32_t events = 0;
    if (changed & TIOCM_CTS)
        events |= kEventCts;
    if (changed & TIOCM_DSR)
        events |= kEventDsr;
    if (changed & TIOCM_CD)
        events |= kEventCarrier;
    if ((changed & TIOCM_RI) && (lines & TIOCM_RI))
        events |= kEventRing;
    modemLines_ = lines;
    return events;
}

std::uint32_t CSerial::TransmitEmptyEvent() {
    if (!transmitPending_ || !(eventMask_ & kEventTransmitEmpty))
        return 0;
    int queued = 0;
    if (ioctl(fd_, TIOCOUTQ, &queued) == 0 && queued > 0)
        return 0;
    transmitPending_ = false;
    return kEventTransmitEmpty;
}

std::uint32_t CSerial::FetchLineErrors() {
    if (fd_ < 0)
        return 0;
    Errors().Sample();
    return Errors().FetchAndClear();
}

std::int32_t CSerial::Purge() {
    if (fd_ < 0)
        return Fail(kNotOpen);
    if (tcflush(fd_, TCIOFLUSH) != 0)
        return Fail(errno);
    return Succeed();
}

std::int32_t CSerial::SetBreak() {
    if (fd_ < 0)
        return Fail(kNotOpen);
    return ioctl(fd_, TIOCSBRK) == 0 ? Succeed() : Fail(errno);
}

std::int32_t CSerial::ClearBreak() {
    if (fd_ < 0)
        return Fail(kNotOpen);
    return ioctl(fd_, TIOCCBRK) == 0 ? Succeed() : Fail(errno);
}

void CSerial::Break() {
    if (fd_ < 0)
        return;
    SetBreak();
    timespec hold{0, 100 * 1000 * 1000};
    while (nanosleep(&hold, &hold) != 0 && errno == EINTR) {
    }
    ClearBreak();
}

} // namespace orvane
