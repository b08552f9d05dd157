#pragma once

#include <string>
#include <sys/types.h>

namespace orvane::test {

// A real NTP server for the tests: chronyd serving the machine's own clock on 127.0.0.1 at a free port,
// with clock control off, from a configuration in a temporary folder. Tests skip when chronyd is not
// installed and fail when it is but does not answer (Why() says which).
class ChronyServer {
public:
    ChronyServer();
    ~ChronyServer();
    ChronyServer(const ChronyServer&) = delete;
    ChronyServer& operator=(const ChronyServer&) = delete;

    bool Installed() const { return installed_; }
    bool Running() const { return pid_ > 0; }
    const std::string& Why() const { return why_; }
    int Port() const { return port_; }
    std::string Address() const { return "127.0.0.1:" + std::to_string(port_); }

private:
    bool Launch(const std::string& chronyd);
    bool Answers();
    void Stop();

    std::string folder_;
    std::string why_;
    int port_ = 0;
    pid_t pid_ = -1;
    bool installed_ = false;
};

// The path of chronyd, or empty when it is not installed.
std::string FindChronyd();

} // namespace orvane::test
