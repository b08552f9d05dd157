#include "panels/AcquisitionPanel.h"

#include "session/AcquisitionFigures.h"
#include "session/ParameterMap.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace orvane {

AcquisitionPanel::AcquisitionPanel(Spectra& spectra, DeviceLink& link, DeviceIdentity& identity,
                                   TimeSourceState& time, SpectrumLogger& logger, OutputLog& log, Host& host,
                                   Poster& poster)
    : spectra_(spectra), link_(link), identity_(identity), time_(time), logger_(logger), log_(log),
      host_(host), startWait_(poster, time) {}

const std::vector<int>& AcquisitionPanel::HardSizes() {
    static const std::vector<int> sizes = {16384, 8192, 4096, 2048, 1024, 512};
    return sizes;
}

const std::vector<int>& AcquisitionPanel::SoftSizes() {
    static const std::vector<int> sizes = {16384, 8192, 5461, 4096, 3276, 2048, 1489, 1024, 780, 512};
    return sizes;
}

const std::vector<std::string>& AcquisitionPanel::CoincidenceNames() {
    static const std::vector<std::string> names = {"DISABLED", "DIRECT", "WINDOW COINC", "WINDOW ANTICOINC"};
    return names;
}

const std::vector<std::string>& AcquisitionPanel::PresetNames() {
    static const std::vector<std::string> names = {"REAL TIME ", "LIVE TIME "};
    return names;
}

int AcquisitionPanel::IndexFor(const std::vector<int>& sizes, int size) {
    size = std::clamp(size, 512, 16384);
    int index = 0;
    for (int i = 0; i < static_cast<int>(sizes.size()); ++i) {
        if (sizes[static_cast<std::size_t>(i)] >= size)
            index = i;
    }
    return index;
}

void AcquisitionPanel::ShowSizes(int hard, int soft) {
    hardSize = HardSizes()[static_cast<std::size_t>(IndexFor(HardSizes(), hard))];
    softSize = SoftSizes()[static_cast<std::size_t>(IndexFor(SoftSizes(), soft))];
    Changed();
}

void AcquisitionPanel::Refresh() {
    CSpectrum* active = spectra_.active;
    if (!ready_ || active == nullptr)
        return;
    filled_ = false;
    const RegisterImage& image = active->Image();
    identity_.Detect(*active);
    pulserOn = !image.Bit(reg::kControl, 9);
    timing[kWinWidth] = image.Get(reg::kWindowWidth) & 0x3FFF;
    timing[kSrcDelay] = image.Get(reg::kSourceDelay);
    timing[kPeakDelay] = image.Get(reg::kPeakDelay);
    const int bits = (image.Bit(reg::kControl, 14) ? 4 : 0) | (image.Bit(reg::kWindowWidth, 14) ? 2 : 0) |
                     (image.Bit(reg::kWindowWidth, 15) ? 1 : 0);
    if (bits != coincidenceBits_) {
        coincidenceBits_ = bits;
        static constexpr int kModes[4] = {kDirect, kWindowCoinc, kDisabled, kWindowAnticoinc};
        coincidenceMode = (bits & 4) ? kDisabled : kModes[bits & 3];
    }
    presetMode = image.Bit(reg::kControl, 3) ? 1 : 0;
    const AcquisitionFigures figures = ComputeAcquisitionFigures(image);
    realTime = figures.realSeconds;
    liveTime = figures.liveSeconds;
    deadPercent = figures.deadPercent;
    rateA = RateA(image, link_.Period().Us());
    rateB = RateB(image, link_.Period().Us());
    const auto preset = static_cast<std::int32_t>(image.Pair(reg::kPreset));
    presetSeconds = preset < 0 ? 0u : static_cast<unsigned>(preset / 100);
    startText = figures.startText;
    startLabel = figures.startLabel;
    condition = active->GetReadings();
    platformCode = active->PlatformCode();
    filled_ = true;
    Changed();
}

void AcquisitionPanel::Compose() {
    RegisterImage& image = spectra_.buffer.Image();
    image.SetBit(reg::kControl, 3, presetMode == 1);
    image.SetPair(reg::kPreset, std::min(presetSeconds, kMaxPresetSeconds) * 100u);
    image.SetBit(reg::kControl, 9, !pulserOn);
    image.SetBit(reg::kControl, 14, coincidenceMode == kDisabled);
    image.Set(reg::kSourceDelay, static_cast<std::uint16_t>(timing[kSrcDelay]));
    image.Set(reg::kPeakDelay, static_cast<std::uint16_t>(timing[kPeakDelay]));
    std::uint16_t width = static_cast<std::uint16_t>(timing[kWinWidth] & 0x3FFF);
    if (coincidenceMode == kWindowCoinc)
        width |= 0x8000;
    if (coincidenceMode == kWindowAnticoinc)
        width |= 0xC000;
    image.Set(reg::kWindowWidth, width);
}

// The write rule: the edit goes into the image; it is sent when an instrument answers and no series runs.
void AcquisitionPanel::WriteEdit() {
    RegisterImage& image = spectra_.buffer.Image();
    image.SetSettled(false);
    Compose();
    if (!link_.Responding()) {
        image.SetSettled(true);
        return;
    }
    if (!link_.LoggerRunning())
        link_.WriteParameters();
}

void AcquisitionPanel::OnAutoUpdateClicked(bool checked) {
    link_.SetAutoUpdate(checked);
    if (!checked)
        link_.RefreshRegisters(); // every click asks for a refresh; checking does so inside SetAutoUpdate
}

void AcquisitionPanel::OnPulser(bool on) {
    pulserOn = on;
    if (MayWrite())
        WriteEdit();
}

void AcquisitionPanel::OnPresetMode(int mode) {
    presetMode = std::clamp(mode, 0, 1);
    if (MayWrite())
        WriteEdit();
}

void AcquisitionPanel::OnPresetText(const std::string& text) {
    const long long seconds = std::atoll(text.c_str());
    presetSeconds = static_cast<unsigned>(std::clamp<long long>(seconds, 0, kMaxPresetSeconds));
    if (MayWrite())
        WriteEdit();
}

void AcquisitionPanel::OnCoincidenceMode(int mode) {
    coincidenceMode = std::clamp(mode, 0, 3);
    if (MayWrite())
        WriteEdit();
    Changed();
}

int AcquisitionPanel::OnTimingText(Timing which, const std::string& text) {
    const long long value = std::atoll(text.c_str());
    timing[which] = static_cast<int>(std::clamp<long long>(value, 1, 4095));
    if (MayWrite())
        WriteEdit();
    Changed();
    return timing[which];
}

std::string AcquisitionPanel::TimingUsText(Timing which) const {
    char text[32];
    std::snprintf(text, sizeof text, "%8.4f", SamplesToUs(timing[which], link_.Period().Us()));
    return text;
}

std::string AcquisitionPanel::DetectorText() const {
    char text[32];
    if (platformCode == kPlatformVelusk)
        std::snprintf(text, sizeof text, "%3.0f", condition.adcTemperature);
    else
        std::snprintf(text, sizeof text, "%6.3f", condition.adcTemperature);
    return text;
}

void AcquisitionPanel::OnSoftSize(int size) {
    const int hard = std::min(hardSize, 16384);
    softSize = std::clamp(size, 512, hard);
    softSize = SoftSizes()[static_cast<std::size_t>(IndexFor(SoftSizes(), softSize))];
    spectra_.buffer.SetSizes(hard, softSize);
    spectra_.file.SetSizes(hard, softSize);
    Changed();
}

void AcquisitionPanel::Start() {
    if (startWait_.Pending())
        return;
    if (time_.ChoiceDueBeforeStart())
        host_.RunDialog(DialogKind::TimeStamp);
    RegisterImage& image = spectra_.buffer.Image();
    image.SetSettled(false);
    if (!link_.Responding()) {
        image.SetSettled(true);
        startText = "Hardware Not Connected";
        Changed();
        return;
    }
    StartFromTimeStamp();
}

// The start falls on the beginning of an even second of the chosen source.
void AcquisitionPanel::StartFromTimeStamp() {
    startWait_.Start([this](const StartTimeStamp& stamp) {
        RegisterImage& image = spectra_.buffer.Image();
        // A write sent during the wait settled the image again: the start is an edit of its own, which
        // no read-back may overwrite before it goes out.
        image.SetSettled(false);
        TimeSourceState::WriteStartStamp(image, stamp);
        image.SetBit(reg::kControl, 0, true);
        image.SetBit(reg::kControl, 1, true);
        if (logger_.enabled) {
            image.CopyRunControl();
            link_.SetLoggerRunning(true);
        }
        link_.WriteParameters();
        startText = stamp.Text();
        log_.AddLine("Start Spectrum Acquisition ");
        Changed();
    });
}

void AcquisitionPanel::Stop() {
    RegisterImage& image = spectra_.buffer.Image();
    image.SetSettled(false);
    if (!link_.Responding()) {
        image.SetSettled(true);
        return;
    }
    image.SetBit(reg::kControl, 0, false);
    image.SetBit(reg::kControl, 1, false);
    if (!link_.LoggerRunning())
        link_.WriteParameters();
    log_.AddLine("Stop Spectrum Acquisition");
}

void AcquisitionPanel::Reset() {
    RegisterImage& image = spectra_.buffer.Image();
    image.SetSettled(false);
    Compose();
    if (!link_.Responding()) {
        image.SetSettled(true);
        return;
    }
    image.SetBit(reg::kControl, 2, true);
    image.SetBit(reg::kControl, 4, false);
    image.SetBit(reg::kControl, 5, true);
    if (image.Bit(reg::kControl, 0) && !link_.LoggerRunning()) {
        if (time_.ChoiceDueBeforeStart())
            host_.RunDialog(DialogKind::TimeStamp);
        StartFromTimeStamp();
        return;
    }
    image.Set(reg::kStartDate, 0);
    if (!link_.LoggerRunning())
        link_.WriteParameters();
}

} // namespace orvane
