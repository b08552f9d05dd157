#pragma once

#include <atomic>
#include <string>
#include <thread>

namespace orvane::test {

// A tiny time server on 127.0.0.1 for the client's tests. It takes its "server time" from the request
// itself (the client's transmit time + offset), so the measured offset is exact whatever clock the client
// runs on. Faulty modes answer the way a broken or foreign server would; Silent never answers.
class SntpResponder {
public:
    enum class Mode { Offset, Short, ForeignOriginate, ZeroTransmit, Silent };

    explicit SntpResponder(Mode mode = Mode::Offset, double offsetSeconds = 0.0);
    ~SntpResponder();
    SntpResponder(const SntpResponder&) = delete;
    SntpResponder& operator=(const SntpResponder&) = delete;

    int Port() const { return port_; }
    std::string Address() const { return "127.0.0.1:" + std::to_string(port_); }
    int Requests() const { return requests_; }

private:
    void Serve();
    void Answer(const unsigned char* request, long length, const void* from, unsigned fromLength);

    Mode mode_;
    double offset_;
    int fd_ = -1;
    int stopFd_ = -1;
    int port_ = 0;
    std::atomic<int> requests_{0};
    std::thread thread_;
};

// A UDP port on 127.0.0.1 that nobody listens on (bound, read and closed at once), for refused queries.
int UnusedUdpPort();

} // namespace orvane::test
