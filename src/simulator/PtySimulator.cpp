#include "simulator/PtySimulator.h"

#include "device/Frames.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <termios.h>
#include <unistd.h>

namespace orvane {

namespace {
void SleepMs(unsigned ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}
} // namespace

PtySimulator::PtySimulator(const Clock& clock, const SimulatorOptions& options)
    : options_(options), instrument_(clock, options) {}

PtySimulator::~PtySimulator() {
    Stop();
}

int PtySimulator::Start() {
    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (master_ < 0)
        return errno;
    if (grantpt(master_) != 0 || unlockpt(master_) != 0) {
        const int error = errno;
        Stop();
        return error;
    }
    char name[128] = {};
    if (ptsname_r(master_, name, sizeof name) != 0) {
        const int error = errno;
        Stop();
        return error;
    }
    devicePath_ = name;
    slave_ = ::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (slave_ < 0) {
        const int error = errno;
        Stop();
        return error;
    }
    // Raw from the start: an echoing line discipline would send the instrument's replies back to it.
    termios tio{};
    tcgetattr(slave_, &tio);
    cfmakeraw(&tio);
    tcsetattr(slave_, TCSANOW, &tio);
    stopFd_ = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (!options_.link.empty()) {
        ::unlink(options_.link.c_str());
        if (::symlink(name, options_.link.c_str()) != 0) {
            const int error = errno;
            Stop();
            return error;
        }
    }
    thread_ = std::thread(&PtySimulator::Serve, this);
    return 0;
}

void PtySimulator::Stop() {
    if (thread_.joinable()) {
        stopping_ = true;
        const std::uint64_t one = 1;
        [[maybe_unused]] const ssize_t n = ::write(stopFd_, &one, sizeof one);
        thread_.join();
    }
    for (int* fd : {&master_, &slave_, &stopFd_}) {
        if (*fd >= 0)
            ::close(*fd);
        *fd = -1;
    }
    if (!options_.link.empty())
        ::unlink(options_.link.c_str());
}

void PtySimulator::Record(const FrameParser::Frame& frame, std::size_t replyLength) {
    if (!options_.recordHistory)
        return;
    std::lock_guard lock(historyMutex_);
    const std::size_t kept = std::min(replyLength, kHistoryReplyBytes);
    history_.push_back(Exchange{std::vector<std::uint8_t>(frame.bytes, frame.bytes + frame.size),
                                std::vector<std::uint8_t>(reply_.begin(), reply_.begin() + kept)});
}

std::vector<PtySimulator::Exchange> PtySimulator::History() const {
    std::lock_guard lock(historyMutex_);
    return history_;
}

void PtySimulator::Serve() {
    std::uint8_t input[4096];
    while (!stopping_ && !unplugged_) {
        pollfd fds[2] = {{master_, POLLIN, 0}, {stopFd_, POLLIN, 0}};
        const int timeout = options_.strayEveryMs ? static_cast<int>(options_.strayEveryMs) : -1;
        const int n = ::poll(fds, 2, timeout);
        if (stopping_)
            break;
        if (n == 0) {
            SendStray(8);
            continue;
        }
        if (n < 0) {
            if (errno == EINTR)
                continue;
            break;
        }
        if (!(fds[0].revents & POLLIN)) {
            // The master reports a hang-up only while no slave is open, and we keep one open.
            SleepMs(5);
            continue;
        }
        const ssize_t count = ::read(master_, input, sizeof input);
        if (count > 0)
            HandleInput(input, static_cast<std::size_t>(count));
    }
}

void PtySimulator::HandleInput(const std::uint8_t* data, std::size_t count) {
    while (count > 0 && !unplugged_) {
        const std::size_t taken = parser_.Feed(data, count);
        data += taken;
        count -= taken;
        FrameParser::Frame frame;
        while (!unplugged_ && parser_.Next(frame)) {
            ++framesReceived_;
            if (!frame.valid) {
                ++invalidFrames_;
                continue;
            }
            const std::size_t length = instrument_.Answer(frame.bytes, frame.size, reply_.data());
            if (length == 0) {
                ++invalidFrames_;
                continue;
            }
            if (options_.unplugAfter == 0) {
                Unplug(); // the first frame finds the line pulled
                return;
            }
            if (options_.silentAfter >= 0 && repliesSent_ >= static_cast<unsigned>(options_.silentAfter))
                continue;
            Record(frame, length);
            Reply(length);
        }
    }
}

void PtySimulator::Reply(std::size_t length) {
    const unsigned number = repliesSent_ + 1;
    if (options_.wrongEchoEvery && number % options_.wrongEchoEvery == 0) {
        reply_[4] ^= 0x01;
        reply_[length - 1] = frames::Checksum(reply_.data(), length - 1); // only the echo is wrong
    }
    if (options_.corruptChecksumEvery && number % options_.corruptChecksumEvery == 0)
        reply_[length - 1] ^= 0x5A;
    const std::size_t pieces = std::max(1u, options_.splitPieces);
    const std::size_t piece = (length + pieces - 1) / pieces;
    for (std::size_t offset = 0; offset < length; offset += piece) {
        if (offset > 0)
            SleepMs(options_.splitDelayMs);
        if (!WriteAll(reply_.data() + offset, std::min(piece, length - offset)))
            return;
    }
    ++repliesSent_;
    if (options_.strayAfterReply)
        SendStray(options_.strayAfterReply);
    if (options_.unplugAfter >= 0 && repliesSent_ >= static_cast<unsigned>(options_.unplugAfter))
        Unplug();
}

bool PtySimulator::WriteAll(const std::uint8_t* data, std::size_t count) {
    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    std::size_t sent = 0;
    while (sent < count && !stopping_) {
        std::size_t slice = count - sent;
        if (options_.lineRate) {
            // Hold each slice back until the line would have carried the bytes before it.
            slice = std::min<std::size_t>(slice, 64);
            const auto due = start + std::chrono::microseconds(sent * 10'000'000ull / options_.lineRate);
            std::this_thread::sleep_until(due);
        }
        const ssize_t n = ::write(master_, data + sent, slice);
        if (n > 0) {
            sent += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR)
            return false;
        // The host is not reading; wait for room, or for the end.
        pollfd fds[2] = {{master_, POLLOUT, 0}, {stopFd_, POLLIN, 0}};
        ::poll(fds, 2, 50);
    }
    return sent == count;
}

void PtySimulator::SendStray(std::size_t count) {
    std::uint8_t bytes[256];
    count = std::min(count, sizeof bytes);
    for (std::size_t i = 0; i < count; ++i) {
        strayState_ = strayState_ * 1103515245u + 12345u;
        bytes[i] = static_cast<std::uint8_t>(strayState_ >> 16);
    }
    WriteAll(bytes, count);
}

void PtySimulator::Unplug() {
    unplugged_ = true;
    ::close(master_);
    master_ = -1;
    ::close(slave_);
    slave_ = -1;
}

} // namespace orvane
