#pragma once

#include "device/SSerInfo.h"
#include "session/DeviceLink.h"
#include "shell/OutputLog.h"
#include "shell/Poster.h"

#include <functional>
#include <string>
#include <vector>

namespace orvane {

// The "Orvane Port Finder": opens every listed port at both IO speeds on the link's own serial port, sends
// one register read and waits for a valid reply. The waits are timed states on the poster; a 300 ms tick
// counts the reply wait as the dialog's timer did.
class PortFinder {
public:
    static constexpr std::int64_t kTickMs = 300;
    static constexpr std::int64_t kSettleMs = 2000;

    PortFinder(DeviceLink& link, PortEnumerator& ports, OutputLog& log, Poster& poster);
    ~PortFinder();

    // The dialog opens; its first repaint starts the search.
    void Open();
    void FirstPaint();
    // "FIND".
    void Find();
    // OK: the chosen device path and speed.
    void Accept();
    void Select(int index) { selected_ = index; }

    bool Searching() const { return searching_; }
    int FoundCount() const { return foundCount_; }
    const std::vector<std::string>& Found() const { return found_; }
    int Selected() const { return selected_; }
    const std::string& Message() const { return message_; }
    bool OkEnabled() const { return okEnabled_; }
    bool ButtonsEnabled() const { return !searching_; } // FIND and Cancel
    bool ListShown() const { return listShown_; }
    int Progress() const { return progress_; }
    int ProgressMax() const { return progressMax_; }

    const std::string& ChosenDevicePath() const { return chosenPath_; }
    bool ChosenFast() const { return chosenFast_; }
    std::uint32_t ChosenBaud() const { return chosenFast_ ? 921600 : 460800; }

    // Any state change (for the view), and the search ending with exactly one device (close with OK).
    void SetChanged(std::function<void()> changed) { changed_ = std::move(changed); }
    void SetFinishedWithOk(std::function<void()> done) { finishedWithOk_ = std::move(done); }

private:
    void NextProbe();
    void ProbeAfterSettle(unsigned generation);
    void OnTick(unsigned generation);
    void Evaluate();
    void Finish();
    void Changed() {
        if (changed_)
            changed_();
    }

    DeviceLink& link_;
    PortEnumerator& ports_;
    OutputLog& log_;
    Poster& poster_;
    std::vector<SSerInfo> list_;
    std::vector<std::string> found_;
    std::vector<std::string> foundSerials_;
    int foundCount_ = -1;
    int selected_ = -1;
    std::string serialText_;
    std::string message_;
    bool searching_ = false;
    bool autoStart_ = false;
    bool okEnabled_ = true;
    bool listShown_ = true;
    int progress_ = 0;
    int progressMax_ = 10;
    std::size_t step_ = 0; // speed × ports + port
    bool awaitingReply_ = false;
    int ticks_ = 0;
    TimerId tickTimer_ = 0;
    unsigned generation_ = 0;
    std::string chosenPath_;
    bool chosenFast_ = true;
    std::function<void()> changed_;
    std::function<void()> finishedWithOk_;
};

} // namespace orvane
