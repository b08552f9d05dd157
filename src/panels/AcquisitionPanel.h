#pragma once

#include "session/DeviceIdentity.h"
#include "session/DeviceLink.h"
#include "session/SpectrumLogger.h"
#include "shell/Host.h"
#include "shell/OutputLog.h"
#include "timesvc/EvenSecondWait.h"
#include "timesvc/TimeSourceState.h"

#include <functional>
#include <string>
#include <vector>

namespace orvane {

// The "ACQUISITION" panel's model: sizes, preset, START/STOP/RESET, coincidence, the run timers and the
// instrument's condition. It composes into the buffer spectrum's image and refreshes from the active one;
// handlers write only after a refresh filled the panel, and only while the buffer spectrum is shown.
class AcquisitionPanel {
public:
    enum Coincidence : int { kDisabled, kDirect, kWindowCoinc, kWindowAnticoinc };
    enum Timing : int { kSrcDelay, kWinWidth, kPeakDelay };
    // The preset in units of 10 ms must fit a signed 32-bit register pair.
    static constexpr unsigned kMaxPresetSeconds = 21474836;

    AcquisitionPanel(Spectra& spectra, DeviceLink& link, DeviceIdentity& identity, TimeSourceState& time,
                     SpectrumLogger& logger, OutputLog& log, Host& host, Poster& poster);

    static const std::vector<int>& HardSizes();
    static const std::vector<int>& SoftSizes();
    static const std::vector<std::string>& CoincidenceNames();
    static const std::vector<std::string>& PresetNames(); // "REAL TIME ", "LIVE TIME "

    // Fields.
    bool pulserOn = false;
    int presetMode = 0;
    unsigned presetSeconds = 0;
    int hardSize = 16384, softSize = 16384;
    int timing[3] = {1, 1, 1};
    int coincidenceMode = kDisabled;
    std::string startText;
    std::string startLabel = "START TIME: SYSTEM";
    double realTime = 0, liveTime = 0, deadPercent = 0;
    double rateA = 0, rateB = 0;
    Readings condition;
    int platformCode = kPlatformUnknown;

    void SetReady() { ready_ = true; }
    bool Ready() const { return ready_; }
    bool Filled() const { return filled_; }

    // From the active spectrum (after every read-back and at activation).
    void Refresh();

    // Control changes.
    void OnAutoUpdateClicked(bool checked);
    void OnPulser(bool on);
    void OnPresetMode(int mode);
    void OnPresetText(const std::string& text);
    void OnCoincidenceMode(int mode);
    // A coincidence edit's text: clamped to 1..4095; returns the value the edit must show.
    int OnTimingText(Timing which, const std::string& text);
    void OnSoftSize(int size);

    void Start();
    void Stop();
    void Reset();

    // What the view shows beyond the fields.
    std::string TimingUsText(Timing which) const; // "%8.4f" microseconds
    bool SrcAndWidthEnabled() const { return coincidenceMode != kDisabled; }
    int HardIndex() const { return IndexFor(HardSizes(), hardSize); }
    int SoftIndex() const { return IndexFor(SoftSizes(), softSize); }
    // The size selectors follow a record: clamped, and the last entry at least as large.
    void ShowSizes(int hard, int soft);
    bool StartPending() const { return startWait_.Pending(); }
    std::string DetectorText() const; // "%3.0f" on a Velusk, "%6.3f" volts otherwise

    void SetChanged(std::function<void()> changed) { changed_ = std::move(changed); }

private:
    static int IndexFor(const std::vector<int>& sizes, int size);
    bool MayWrite() const { return ready_ && filled_ && spectra_.BufferActive(); }
    void Compose();
    void WriteEdit();
    void StartFromTimeStamp();
    void Changed() {
        if (changed_)
            changed_();
    }

    Spectra& spectra_;
    DeviceLink& link_;
    DeviceIdentity& identity_;
    TimeSourceState& time_;
    SpectrumLogger& logger_;
    OutputLog& log_;
    Host& host_;
    EvenSecondWait startWait_;
    bool ready_ = false;
    bool filled_ = false;
    int coincidenceBits_ = -1; // register 16 bit 14 and register 69 bits 14, 15 at the last refresh
    std::function<void()> changed_;
};

} // namespace orvane
