#include "session/PortFinder.h"

#include "device/PortNames.h"

#include <cstdio>

namespace orvane {

namespace {
constexpr std::uint32_t kSpeeds[2] = {921600, 460800};
}

PortFinder::PortFinder(DeviceLink& link, PortEnumerator& ports, OutputLog& log, Poster& poster)
    : link_(link), ports_(ports), log_(log), poster_(poster) {}

PortFinder::~PortFinder() {
    ++generation_;
    if (tickTimer_)
        poster_.Cancel(tickTimer_);
    if (searching_) {
        link_.CloseProbe();
        link_.SetSearching(false);
    }
}

void PortFinder::Open() {
    autoStart_ = true;
    searching_ = false;
    message_.clear();
    listShown_ = true;
    progress_ = 0;
    progressMax_ = 10;
    Changed();
}

void PortFinder::FirstPaint() {
    if (!autoStart_)
        return;
    autoStart_ = false;
    Find();
}

void PortFinder::Find() {
    const unsigned generation = ++generation_;
    tickTimer_ = poster_.PostAfter(kTickMs, [this, generation] { OnTick(generation); });
    log_.AddLine("Find Timer Started");
    progress_ = 0;
    searching_ = true;
    message_ = "SEARCHING...  PLEASE WAIT!";
    listShown_ = false;
    found_.clear();
    foundSerials_.clear();
    foundCount_ = -1;
    selected_ = -1;
    link_.CloseForSearch();
    link_.SetSearching(true);
    std::string error;
    list_ = ports_.Enumerate(error);
    progressMax_ = static_cast<int>(2 * list_.size() + 1);
    step_ = 0;
    Changed();
    NextProbe();
}

void PortFinder::NextProbe() {
    if (step_ >= 2 * list_.size()) {
        Finish();
        return;
    }
    const std::uint32_t baud = kSpeeds[step_ / list_.size()];
    const SSerInfo& port = list_[step_ % list_.size()];
    ++progress_;
    log_.AddLine("Searching...");
    const std::string name = PortNameFromText(port.friendlyName);
    const std::string path = DevicePathFromText(port.friendlyName, list_);
    if (!link_.OpenProbe(path, baud)) {
        log_.AddLine("Unable to open: " + name);
        ++step_;
        const unsigned generation = generation_;
        poster_.Post([this, generation] {
            if (generation == generation_)
                NextProbe();
        });
        Changed();
        return;
    }
    log_.AddLine("Trying: " + name);
    const unsigned generation = generation_;
    poster_.PostAfter(kSettleMs, [this, generation] { ProbeAfterSettle(generation); });
    Changed();
}

void PortFinder::ProbeAfterSettle(unsigned generation) {
    if (generation != generation_)
        return;
    link_.SendProbe();
    ticks_ = 0;
    awaitingReply_ = true;
}

void PortFinder::OnTick(unsigned generation) {
    if (generation != generation_ || !searching_)
        return;
    ++ticks_;
    tickTimer_ = poster_.PostAfter(kTickMs, [this, generation] { OnTick(generation); });
    if (awaitingReply_ && ticks_ > 3) {
        awaitingReply_ = false;
        Evaluate();
        ++step_;
        NextProbe();
    }
}

void PortFinder::Evaluate() {
    if (link_.ProbeAnswered()) {
        const bool normal = kSpeeds[step_ / list_.size()] == 460800;
        const std::string speed = normal ? "(NORMAL)" : "(FAST)";
        char serial[32];
        std::snprintf(serial, sizeof serial, "->SN: %05u", link_.Records().buffer.GetReadings().serialNumber);
        serialText_ = serial;
        const SSerInfo& port = list_[step_ % list_.size()];
        log_.AddLine("Found: " + PortNameFromText(port.friendlyName) + speed + serialText_);
        // One instrument answers at both speeds: it is listed once, with the first speed found.
        bool known = false;
        for (const std::string& entry : found_)
            known = known || entry.find(serialText_) != std::string::npos;
        if (!known) {
            found_.push_back(port.friendlyName + speed + serialText_);
            foundCount_ = static_cast<int>(found_.size()) - 1;
            selected_ = foundCount_;
        }
    }
    link_.CloseProbe();
}

void PortFinder::Finish() {
    ++generation_;
    if (tickTimer_)
        poster_.Cancel(tickTimer_);
    tickTimer_ = 0;
    log_.AddLine("Find Timer Stopped");
    progress_ = 0;
    link_.CloseProbe();
    link_.SetSearching(false);
    searching_ = false;
    listShown_ = true;
    okEnabled_ = true;
    if (foundCount_ == 0) {
        message_.clear();
        Changed();
        Accept();
        if (finishedWithOk_)
            finishedWithOk_();
        return;
    }
    if (foundCount_ > 0) {
        selected_ = 0;
        message_ = "Found multiple Orvane devices... Please, select port and press OK.";
    } else {
        okEnabled_ = false;
        listShown_ = false;
        message_ = "No Orvane devices were found... Please, reconnect the device and press FIND.";
    }
    Changed();
}

void PortFinder::Accept() {
    const bool valid = selected_ >= 0 && selected_ < static_cast<int>(found_.size());
    const std::string text = valid ? found_[static_cast<std::size_t>(selected_)] : "";
    chosenFast_ = text.find("(FAST)") != std::string::npos;
    chosenPath_ = DevicePathFromText(text, list_);
}

} // namespace orvane
