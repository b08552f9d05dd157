#include "timesvc/SntpQueryWorker.h"

#include <cstdint>
#include <sys/eventfd.h>
#include <unistd.h>

namespace orvane {

SntpQueryWorker::SntpQueryWorker(Poster& poster, const Clock& clock) : poster_(poster), clock_(clock) {}

SntpQueryWorker::~SntpQueryWorker() {
    Cancel();
}

bool SntpQueryWorker::Start(const std::string& server, int port, int timeoutMs, Done done) {
    if (running_)
        return false;
    cancelFd_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    running_ = true;
    done_ = std::move(done);
    token_ = std::make_shared<Token>();
    std::weak_ptr<Token> alive = token_;
    // The thread owns copies of everything it reads except the clock and the poster, which outlive it
    // because Cancel joins before this object goes away.
    thread_ = std::thread([this, server, port, timeoutMs, alive, cancelFd = cancelFd_] {
        CSNTPClient client(clock_);
        client.SetPort(port);
        client.SetTimeout(timeoutMs);
        SntpOutcome outcome;
        outcome.server = server;
        outcome.ok = client.Query(server, outcome.response, cancelFd);
        outcome.error = client.LastError();
        outcome.errorText = client.LastErrorText();
        poster_.Post([this, alive, outcome] {
            if (alive.lock())
                Finish(outcome);
        });
    });
    return true;
}

void SntpQueryWorker::Finish(const SntpOutcome& outcome) {
    // The thread's last act was the post that brought us here, so the join is immediate.
    Done done = std::move(done_);
    Cancel();
    if (done)
        done(outcome);
}

void SntpQueryWorker::Cancel() {
    token_.reset();
    if (thread_.joinable()) {
        const std::uint64_t one = 1;
        if (cancelFd_ >= 0) {
            [[maybe_unused]] const auto written = ::write(cancelFd_, &one, sizeof one);
        }
        thread_.join();
    }
    if (cancelFd_ >= 0)
        ::close(cancelFd_);
    cancelFd_ = -1;
    done_ = nullptr;
    running_ = false;
}

} // namespace orvane
