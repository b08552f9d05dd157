#pragma once

#include "session/DeviceLink.h"
#include "shell/Host.h"
#include "timesvc/EvenSecondWait.h"
#include "timesvc/TimeSourceState.h"

#include <functional>
#include <string>

namespace orvane {

// The "SPECTRUM LOGGER": a series of runs recorded unattended. After each run the device ends, the whole
// spectrum is read in two halves, saved as base_NNNN.qxs, and the next run starts on an even second,
// until RUNS files are written.
class SpectrumLogger : public LinkLoggerHooks {
public:
    using Saver = std::function<bool(CSpectrum& record, const std::string& path)>;

    SpectrumLogger(DeviceLink& link, Host& host, Poster& poster, const TimeSourceState& time);
    ~SpectrumLogger() override;

    // The group's fields.
    int runs = 0;
    int completed = 0;
    std::string folder;   // always ending with "/" once chosen
    std::string base;     // "FILE NAME (BASE) "
    bool enabled = false; // "   ENABLE"

    // A click on ENABLE that left the box checked or unchecked; the checks may uncheck it again.
    void ClickEnable(bool checked);
    // The FOLDER button.
    void ClickFolder();

    std::string PathBase() const { return pathBase_; }
    // base_0001.qxs for run 1; the number widens past four digits.
    std::string FileName(int run) const;

    // What the panel contributes: its real time (the ENABLE checks), the final times of a run, the start
    // text of a restart, and any change to show.
    void SetPanelRealTime(std::function<double()> realTime) { panelRealTime_ = std::move(realTime); }
    void SetRunEndedTimes(std::function<void(double real, double live)> shown) {
        runEndedTimes_ = std::move(shown);
    }
    void SetStartText(std::function<void(const std::string&)> shown) { startText_ = std::move(shown); }
    void SetChanged(std::function<void()> changed) { changed_ = std::move(changed); }
    void SetSaver(Saver saver) { save_ = std::move(saver); }

    // LinkLoggerHooks
    bool OnRunEnded() override;
    void OnHalfStored() override;
    void OnRestartWriteDone() override;

    bool RestartPending() const { return wait_.Pending(); }

private:
    bool Refuse(const std::string& text);
    void Changed() {
        if (changed_)
            changed_();
    }

    DeviceLink& link_;
    Host& host_;
    Poster& poster_;
    EvenSecondWait wait_;
    std::string pathBase_;
    std::function<double()> panelRealTime_;
    std::function<void(double, double)> runEndedTimes_;
    std::function<void(const std::string&)> startText_;
    std::function<void()> changed_;
    Saver save_;
};

} // namespace orvane
