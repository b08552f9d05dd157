#include "support/SntpResponder.h"

#include "timesvc/NtpTimestamp.h"

#include <arpa/inet.h>
#include <cstdint>
#include <cstring>
#include <netinet/in.h>
#include <poll.h>
#include <stdexcept>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

namespace orvane::test {

namespace {

int BindLoopback(int& port) {
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        throw std::runtime_error("cannot bind a UDP socket on 127.0.0.1");
    port = ntohs(address.sin_port);
    return fd;
}

NtpTimestamp Read(const unsigned char* at) {
    std::uint32_t s = 0, f = 0;
    std::memcpy(&s, at, 4);
    std::memcpy(&f, at + 4, 4);
    return NtpTimestamp{ntohl(s), ntohl(f)};
}

void Write(unsigned char* at, NtpTimestamp t) {
    const std::uint32_t s = htonl(t.seconds), f = htonl(t.fraction);
    std::memcpy(at, &s, 4);
    std::memcpy(at + 4, &f, 4);
}

} // namespace

SntpResponder::SntpResponder(Mode mode, double offsetSeconds) : mode_(mode), offset_(offsetSeconds) {
    fd_ = BindLoopback(port_);
    stopFd_ = eventfd(0, EFD_CLOEXEC);
    thread_ = std::thread([this] { Serve(); });
}

SntpResponder::~SntpResponder() {
    const std::uint64_t one = 1;
    [[maybe_unused]] const auto written = ::write(stopFd_, &one, sizeof one);
    thread_.join();
    ::close(fd_);
    ::close(stopFd_);
}

void SntpResponder::Serve() {
    for (;;) {
        pollfd fds[2] = {{fd_, POLLIN, 0}, {stopFd_, POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0 || fds[1].revents != 0)
            return;
        unsigned char request[128];
        sockaddr_in from{};
        socklen_t fromLength = sizeof from;
        const ssize_t length =
            ::recvfrom(fd_, request, sizeof request, 0, reinterpret_cast<sockaddr*>(&from), &fromLength);
        if (length < 0)
            continue;
        ++requests_;
        if (mode_ != Mode::Silent)
            Answer(request, static_cast<long>(length), &from, fromLength);
    }
}

void SntpResponder::Answer(const unsigned char* request, long length, const void* from, unsigned fromLength) {
    if (length < 48)
        return;
    const NtpTimestamp clientTransmit = Read(request + 40);
    const NtpTimestamp serverTime = clientTransmit.Plus(offset_);
    unsigned char reply[48] = {};
    reply[0] = 0x1C; // no leap warning, version 3, mode 4 (server)
    reply[1] = 2;
    Write(reply + 24, mode_ == Mode::ForeignOriginate ? clientTransmit.Plus(-1.0) : clientTransmit);
    Write(reply + 32, serverTime);
    Write(reply + 40, mode_ == Mode::ZeroTransmit ? NtpTimestamp{} : serverTime);
    const std::size_t size = mode_ == Mode::Short ? 47 : sizeof reply;
    ::sendto(fd_, reply, size, 0, static_cast<const sockaddr*>(from), fromLength);
}

int UnusedUdpPort() {
    int port = 0;
    ::close(BindLoopback(port));
    return port;
}

} // namespace orvane::test
