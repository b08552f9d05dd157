#pragma once

#include "shell/Clock.h"
#include "timesvc/NtpTimestamp.h"

#include <cstdint>
#include <string>

namespace orvane {

// What a successful query learnt from the server.
struct NtpServerResponse {
    int leapIndicator = 0;
    int stratum = 0;
    NtpTimestamp originateTime;    // our own transmit time, echoed by the server
    NtpTimestamp receiveTime;      // server clock when the request arrived
    NtpTimestamp transmitTime;     // server clock when the reply left
    NtpTimestamp destinationTime;  // our clock when the reply was seen
    double roundTripDelay = 0.0;   // seconds
    double localClockOffset = 0.0; // seconds; added to our clock it gives the server's time
};

// A simple SNTP client (client mode, version 3) over an IPv4 UDP socket. One query at a time per object;
// the query blocks its thread for at most the time-out plus the name lookup (SntpQueryWorker runs it off
// the behaviour thread).
class CSNTPClient {
public:
    static constexpr int kDefaultPort = 123;
    static constexpr int kDefaultTimeoutMs = 5000;
    // No reply within the time-out keeps the classic sockets value. Otherwise the last error is an errno
    // value (EBADMSG: a reply that does not answer our request; ECANCELED: the wait was cancelled; EINVAL:
    // a bad server text) or, for a failed name lookup, getaddrinfo's (negative) code.
    static constexpr int kErrorTimedOut = 10060;

    explicit CSNTPClient(const Clock& clock) : clock_(clock) {}

    void SetTimeout(int timeoutMs) { timeoutMs_ = timeoutMs; }
    int Timeout() const { return timeoutMs_; }
    // The port used when the server text does not end in ":PORT".
    void SetPort(int port) { port_ = port; }
    int Port() const { return port_; }

    // host: a dotted IPv4 address or a host name, optionally followed by ":PORT". When cancelFd is given,
    // its becoming readable ends the wait with ECANCELED. response is only written on success.
    bool Query(const std::string& host, NtpServerResponse& response, int cancelFd = -1);

    int LastError() const { return lastError_; }
    // The reason in words, for logs and the command line.
    const std::string& LastErrorText() const { return lastErrorText_; }

    // Splits "host[:port]"; false when the port is not a number in 1..65535 or the host is empty.
    static bool SplitServer(const std::string& text, int defaultPort, std::string& host, int& port);

private:
    bool Fail(int error, std::string text);
    bool Exchange(int socketFd, NtpServerResponse& response, int cancelFd);
    bool WaitReadable(int socketFd, int cancelFd);
    bool Accept(const unsigned char* reply, long length, NtpTimestamp sent, NtpTimestamp destination,
                NtpServerResponse& response);

    const Clock& clock_;
    int timeoutMs_ = kDefaultTimeoutMs;
    int port_ = kDefaultPort;
    int lastError_ = 0;
    std::string lastErrorText_;
};

} // namespace orvane
