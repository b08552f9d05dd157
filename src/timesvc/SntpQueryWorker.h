#pragma once

#include "shell/Clock.h"
#include "shell/Poster.h"
#include "timesvc/CSNTPClient.h"

#include <functional>
#include <memory>
#include <string>
#include <thread>

namespace orvane {

// How a query ended.
struct SntpOutcome {
    std::string server;
    bool ok = false;
    NtpServerResponse response;
    int error = 0;
    std::string errorText;
};

// Runs one CSNTPClient query on a worker thread so the window stays live while the server is asked; the
// outcome is posted back and handed to the callback on the behaviour thread. Cancel (and the destructor)
// end the wait at once through an eventfd and join the thread; a cancelled query's callback never runs.
// A name lookup cannot be interrupted, so a cancel during one waits for the lookup to end.
class SntpQueryWorker {
public:
    using Done = std::function<void(const SntpOutcome&)>;

    SntpQueryWorker(Poster& poster, const Clock& clock);
    ~SntpQueryWorker();
    SntpQueryWorker(const SntpQueryWorker&) = delete;
    SntpQueryWorker& operator=(const SntpQueryWorker&) = delete;

    // Behaviour thread only. False (and nothing started) while a query is running.
    bool Start(const std::string& server, int port, int timeoutMs, Done done);
    bool Running() const { return running_; }
    void Cancel();

private:
    struct Token {};

    void Finish(const SntpOutcome& outcome);

    Poster& poster_;
    const Clock& clock_;
    int cancelFd_ = -1;
    std::thread thread_;
    std::shared_ptr<Token> token_;
    Done done_;
    bool running_ = false;
};

} // namespace orvane
