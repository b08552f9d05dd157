#pragma once

#include "analysis/CalibrationSet.h"
#include "analysis/PeakFigures.h"
#include "session/Readings.h"
#include "session/RegisterImage.h"

#include <array>
#include <cstdint>
#include <string>

namespace orvane {

class CSpectrum;

// What a record's changes mean to the rest of the window; the shell wires it to panes and panels.
class SpectrumObserver {
public:
    virtual ~SpectrumObserver() = default;
    // The record became the active spectrum (pane caption, panels enabled and refreshed, calibration list).
    virtual void OnActivated(CSpectrum&) {}
    // New sizes took effect: the size selectors follow and the plot repaints.
    virtual void OnSizesChanged(CSpectrum&) {}
    // The binning factor changed: thresholds shown in soft channels follow.
    virtual void OnBinningFactorChanged(CSpectrum&, int /*oldFactor*/, int /*newFactor*/) {}
    // The calibration of the active record was replaced (calibration list and coefficients reload).
    virtual void OnCalibrationReplaced(CSpectrum&) {}
};

// One pulse-height spectrum and everything kept with it: hard counts and the folded soft counts, ROI
// marks, the register image and instrument snapshot, labels, both inputs' calibrations and the view.
class CSpectrum {
public:
    static constexpr int kChannels = 16384;
    static constexpr int kMinSize = 512;
    static constexpr int kInputs = 2;
    // The sizes the analyzer offers, largest first.
    static constexpr std::array<int, 10> kOfferedSoftSizes = {16384, 8192, 5461, 4096, 3276,
                                                              2048,  1489, 1024, 780,  512};
    static constexpr std::array<int, 6> kOfferedHardSizes = {16384, 8192, 4096, 2048, 1024, 512};
    using Counts = std::array<std::uint32_t, kChannels>;
    using Marks = std::array<std::uint8_t, kChannels>;

    explicit CSpectrum(bool isBuffer);

    // Every field as a new record holds it.
    void ResetToCreation();

    // Sizes and folding. treatAsChanged: the view is reset and the selectors follow even when the sizes
    // stay the same (a file was loaded).
    void SetSizes(int hardSize, int softSize, bool treatAsChanged = false);
    void FoldBlock(int firstHardChannel, int channelCount);
    void Fold();
    void RebuildSoftMarks();
    // Marks or clears one soft channel and every hard channel it holds.
    void SetSoftMark(int softChannel, bool marked);
    void Activate();

    int HardSize() const { return hardSize_; }
    int SoftSize() const { return softSize_; }
    int BinningFactor() const { return binning_; }
    // Sizes as a file or the instrument states them, without the effects of SetSizes.
    void AssignSizes(int hardSize, int softSize);

    Counts& HardCounts() { return counts_; }
    const Counts& HardCounts() const { return counts_; }
    const Counts& SoftCounts() const { return softCounts_; }
    Marks& HardMarks() { return hardMarks_; }
    const Marks& HardMarks() const { return hardMarks_; }
    const Marks& SoftMarks() const { return softMarks_; }

    // Instrument snapshot.
    RegisterImage& Image() { return image_; }
    const RegisterImage& Image() const { return image_; }
    const Readings& GetReadings() const { return readings_; }
    void StoreReadings(const Readings& readings) { readings_ = readings; }
    Readings& MutableReadings() { return readings_; }
    int PlatformCode() const { return platformCode_; }
    void SetPlatformCode(int code) { platformCode_ = code; }
    int SpFlag() const { return spFlag_; }
    void SetSpFlag(int flag) { spFlag_ = flag; }
    int InputBFlag() const { return inputBFlag_; }
    void SetInputBFlag(int flag) { inputBFlag_ = flag; }
    std::uint16_t LastRegister18() const { return lastRegister18_; }
    void SetLastRegister18(std::uint16_t value) { lastRegister18_ = value; }
    int AmplifierPlatform() const { return amplifierPlatform_; }
    void SetAmplifierPlatform(int steps) { amplifierPlatform_ = steps; }
    // The input whose calibration is used: register 18 bit 14 (0 = input A).
    int SelectedInput() const { return image_.Bit(18, 14) ? 1 : 0; }

    // Labels.
    const std::string& Tag() const { return tag_; }
    void SetTag(const std::string& tag) { tag_ = tag; }
    const std::string& Title() const { return title_; }
    void SetTitle(const std::string& title) { title_ = title; }

    // Calibrations: stored (points in hard channels) and working (soft channels, fitted coefficients).
    CalibrationSet& StoredCalibration(int input) { return stored_[Input(input)]; }
    const CalibrationSet& StoredCalibration(int input) const { return stored_[Input(input)]; }
    CalibrationSet& WorkingCalibration(int input) { return working_[Input(input)]; }
    const CalibrationSet& WorkingCalibration(int input) const { return working_[Input(input)]; }

    // The latest peak analysis around the cursor.
    PeakFigures& Peak() { return peak_; }
    const PeakFigures& Peak() const { return peak_; }

    // Record-to-record copies.
    void CopyRoiFrom(const CSpectrum& source);
    void CopyCalibrationFrom(const CSpectrum& source, bool destinationIsActive);
    void CopyRegistersFrom(const CSpectrum& source);

    // Roles and flags.
    bool IsBuffer() const { return buffer_; }
    bool Shown() const { return shown_; }
    // Showing or hiding the record's tab.
    void SetShown(bool shown);
    bool NeedsRefresh() const { return refresh_; }
    void SetNeedsRefresh(bool refresh) { refresh_ = refresh; }

    // The view of the plot that size changes and loading reset.
    int Cursor() const { return cursor_; }
    void SetCursor(int cursor) { cursor_ = cursor; }
    int FirstChannel() const { return first_; }
    int LastChannel() const { return last_; }
    int ViewWidth() const { return width_; }
    void SetView(int first, int last);
    void ResetView();

    void SetObserver(SpectrumObserver* observer) { observer_ = observer; }

private:
    static std::size_t Input(int input) { return input == 1 ? 1u : 0u; }
    std::uint32_t FoldedValue(int softChannel) const;

    Counts counts_{};
    Counts softCounts_{};
    Marks hardMarks_{};
    Marks softMarks_{};
    int hardSize_ = kChannels;
    int softSize_ = kChannels;
    int binning_ = 1;

    RegisterImage image_;
    Readings readings_;
    int platformCode_ = kPlatformUnknown;
    int spFlag_ = 0;
    int inputBFlag_ = 0;
    std::uint16_t lastRegister18_ = 0xFFFF;
    int amplifierPlatform_ = 4;

    std::string tag_;
    std::string title_;
    std::array<CalibrationSet, kInputs> stored_{};
    std::array<CalibrationSet, kInputs> working_{};
    PeakFigures peak_;

    bool buffer_;
    bool shown_ = false;
    bool refresh_ = false;
    int cursor_ = 0, first_ = 0, last_ = 0, width_ = 0;
    SpectrumObserver* observer_ = nullptr;
};

} // namespace orvane
