#include "support/ChronyServer.h"

#include "shell/SystemClock.h"
#include "support/SntpResponder.h"
#include "timesvc/CSNTPClient.h"

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <pwd.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace orvane::test {

std::string FindChronyd() {
    std::vector<std::string> candidates{"/usr/sbin/chronyd", "/sbin/chronyd", "/usr/local/sbin/chronyd"};
    if (const char* path = std::getenv("PATH")) {
        std::string all = path;
        for (std::size_t start = 0; start <= all.size();) {
            const std::size_t end = std::min(all.find(':', start), all.size());
            candidates.push_back(all.substr(start, end - start) + "/chronyd");
            start = end + 1;
        }
    }
    for (const std::string& candidate : candidates) {
        if (::access(candidate.c_str(), X_OK) == 0)
            return candidate;
    }
    return {};
}

ChronyServer::ChronyServer() {
    const std::string chronyd = FindChronyd();
    if (chronyd.empty()) {
        why_ = "chronyd is not installed (apt-get install chrony); the NTP server tests need it";
        return;
    }
    installed_ = true;
    char folder[] = "/tmp/orvane-chrony-XXXXXX";
    if (::mkdtemp(folder) == nullptr) {
        why_ = "cannot make a temporary folder for chronyd";
        return;
    }
    folder_ = folder;
    port_ = UnusedUdpPort();
    if (!Launch(chronyd))
        return;
    if (!Answers()) {
        Stop();
        why_ = "chronyd started but did not answer on " + Address() + " (see " + folder_ + "/chronyd.log)";
    }
}

ChronyServer::~ChronyServer() {
    Stop();
    if (!folder_.empty() && why_.empty())
        std::filesystem::remove_all(folder_);
}

bool ChronyServer::Launch(const std::string& chronyd) {
    const std::string conf = folder_ + "/chrony.conf";
    std::ofstream(conf) << "port " << port_ << "\n"
                        << "bindaddress 127.0.0.1\n"
                        << "allow 127.0.0.1\n"
                        << "local stratum 8\n"
                        << "cmdport 0\n"
                        << "bindcmdaddress /\n"
                        << "pidfile " << folder_ << "/chronyd.pid\n"
                        << "driftfile " << folder_ << "/chrony.drift\n";
    // Run as whoever runs the tests, so chronyd can write into our folder (as root it would otherwise
    // drop to its own user).
    const passwd* user = ::getpwuid(::geteuid());
    const std::string userName = user != nullptr ? user->pw_name : "root";
    const std::string log = folder_ + "/chronyd.log";
    pid_ = ::fork();
    if (pid_ == 0) {
        const int out = ::open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (out >= 0) {
            ::dup2(out, 1);
            ::dup2(out, 2);
        }
        ::execl(chronyd.c_str(), "chronyd", "-x", "-d", "-U", "-u", userName.c_str(), "-f", conf.c_str(),
                static_cast<char*>(nullptr));
        ::_exit(127);
    }
    if (pid_ < 0) {
        why_ = "cannot start chronyd";
        return false;
    }
    return true;
}

bool ChronyServer::Answers() {
    // chronyd answers within milliseconds of its start; give it a few seconds on a loaded machine.
    CSNTPClient client(SystemClock::Instance());
    client.SetTimeout(100);
    for (int attempt = 0; attempt < 50; ++attempt) {
        NtpServerResponse response;
        if (client.Query(Address(), response))
            return true;
        if (::waitpid(pid_, nullptr, WNOHANG) == pid_) {
            pid_ = -1;
            return false;
        }
        if (client.LastError() != CSNTPClient::kErrorTimedOut)
            ::usleep(100000);
    }
    return false;
}

void ChronyServer::Stop() {
    if (pid_ <= 0)
        return;
    ::kill(pid_, SIGTERM);
    ::waitpid(pid_, nullptr, 0);
    pid_ = -1;
}

} // namespace orvane::test
