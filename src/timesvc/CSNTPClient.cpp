#include "timesvc/CSNTPClient.h"

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace orvane {

namespace {

constexpr int kRequestBytes = 48;
constexpr int kReplyBufferBytes = 68;

void PutTimestamp(unsigned char* at, NtpTimestamp t) {
    const std::uint32_t seconds = htonl(t.seconds);
    const std::uint32_t fraction = htonl(t.fraction);
    std::memcpy(at, &seconds, 4);
    std::memcpy(at + 4, &fraction, 4);
}

NtpTimestamp GetTimestamp(const unsigned char* at) {
    std::uint32_t seconds = 0;
    std::uint32_t fraction = 0;
    std::memcpy(&seconds, at, 4);
    std::memcpy(&fraction, at + 4, 4);
    return NtpTimestamp{ntohl(seconds), ntohl(fraction)};
}

std::string Trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

// Closes the socket on every way out of the query.
class SocketGuard {
public:
    explicit SocketGuard(int fd) : fd_(fd) {}
    ~SocketGuard() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    SocketGuard(const SocketGuard&) = delete;
    SocketGuard& operator=(const SocketGuard&) = delete;

private:
    int fd_;
};

} // namespace

bool CSNTPClient::SplitServer(const std::string& text, int defaultPort, std::string& host, int& port) {
    const std::string trimmed = Trimmed(text);
    const auto colon = trimmed.rfind(':');
    host = trimmed.substr(0, colon);
    port = defaultPort;
    if (colon != std::string::npos) {
        const std::string digits = trimmed.substr(colon + 1);
        if (digits.empty() || digits.size() > 5 ||
            digits.find_first_not_of("0123456789") != std::string::npos)
            return false;
        port = std::stoi(digits);
    }
    return !host.empty() && port >= 1 && port <= 65535;
}

bool CSNTPClient::Fail(int error, std::string text) {
    lastError_ = error;
    lastErrorText_ = std::move(text);
    return false;
}

bool CSNTPClient::Query(const std::string& server, NtpServerResponse& response, int cancelFd) {
    lastError_ = 0;
    lastErrorText_.clear();
    std::string host;
    int port = 0;
    if (!SplitServer(server, port_, host, port))
        return Fail(EINVAL, "not a server name with an optional :PORT (1..65535)");

    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    if (inet_pton(AF_INET, host.c_str(), &address.sin_addr) != 1) {
        addrinfo hints{};
        hints.ai_family = AF_INET;
        hints.ai_socktype = SOCK_DGRAM;
        addrinfo* found = nullptr;
        const int code = getaddrinfo(host.c_str(), nullptr, &hints, &found);
        if (code != 0)
            return Fail(code, gai_strerror(code));
        address.sin_addr = reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr;
        freeaddrinfo(found);
    }

    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return Fail(errno, std::strerror(errno));
    const SocketGuard guard(fd);
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0)
        return Fail(errno, std::strerror(errno));
    return Exchange(fd, response, cancelFd);
}

bool CSNTPClient::Exchange(int fd, NtpServerResponse& response, int cancelFd) {
    unsigned char request[kRequestBytes] = {};
    request[0] = 0x1B; // leap indicator 0, version 3, mode 3 (client)
    const NtpTimestamp sent = NtpTimestamp::Now(clock_);
    PutTimestamp(request + 40, sent);
    if (::send(fd, request, sizeof request, 0) != static_cast<ssize_t>(sizeof request))
        return Fail(errno, std::strerror(errno));

    if (!WaitReadable(fd, cancelFd))
        return false;
    const NtpTimestamp destination = NtpTimestamp::Now(clock_);

    unsigned char reply[kReplyBufferBytes] = {};
    const ssize_t length = ::recv(fd, reply, sizeof reply, MSG_DONTWAIT);
    if (length < 0)
        return Fail(errno, std::strerror(errno));
    return Accept(reply, static_cast<long>(length), sent, destination, response);
}

bool CSNTPClient::WaitReadable(int fd, int cancelFd) {
    // The wait runs on the real clock: it waits for the network, whatever clock stamps the times.
    using Steady = std::chrono::steady_clock;
    const auto deadline = Steady::now() + std::chrono::milliseconds(timeoutMs_);
    for (;;) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Steady::now()).count();
        if (left <= 0)
            break;
        pollfd fds[2] = {{fd, POLLIN, 0}, {cancelFd, POLLIN, 0}};
        const int ready = ::poll(fds, cancelFd >= 0 ? 2 : 1, static_cast<int>(left));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            break;
        if (cancelFd >= 0 && fds[1].revents != 0)
            return Fail(ECANCELED, "the query was cancelled");
        // Readable, or an error the receive will report (a refused port).
        return true;
    }
    return Fail(kErrorTimedOut, "no reply within " + std::to_string(timeoutMs_) + " ms");
}

bool CSNTPClient::Accept(const unsigned char* reply, long length, NtpTimestamp sent, NtpTimestamp destination,
                         NtpServerResponse& response) {
    if (length < kRequestBytes)
        return Fail(EBADMSG, "a reply of " + std::to_string(length) + " bytes, under 48");
    const NtpTimestamp originate = GetTimestamp(reply + 24);
    if (originate != sent)
        return Fail(EBADMSG, "a reply whose originate time is not our request's");
    const NtpTimestamp transmit = GetTimestamp(reply + 40);
    if (transmit.IsZero())
        return Fail(EBADMSG, "a reply without a transmit time");

    NtpServerResponse filled;
    filled.leapIndicator = reply[0] >> 6;
    filled.stratum = reply[1];
    filled.originateTime = originate;
    filled.receiveTime = GetTimestamp(reply + 32);
    filled.transmitTime = transmit;
    filled.destinationTime = destination;
    const NtpTimestamp t1 = originate, t2 = filled.receiveTime, t3 = transmit, t4 = destination;
    filled.roundTripDelay = NtpTimestamp::Difference(t4, t1) - NtpTimestamp::Difference(t3, t2);
    filled.localClockOffset = (NtpTimestamp::Difference(t2, t1) + NtpTimestamp::Difference(t3, t4)) / 2.0;
    response = filled;
    return true;
}

} // namespace orvane
