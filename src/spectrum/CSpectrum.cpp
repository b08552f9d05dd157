#include "spectrum/CSpectrum.h"

#include <algorithm>

namespace orvane {

CSpectrum::CSpectrum(bool isBuffer) : buffer_(isBuffer) {
    ResetToCreation();
}

void CSpectrum::ResetToCreation() {
    counts_.fill(0);
    softCounts_.fill(0);
    hardMarks_.fill(0);
    softMarks_.fill(0);
    hardSize_ = softSize_ = kChannels;
    binning_ = 1;
    image_.ResetToCreation();
    readings_ = Readings{};
    platformCode_ = kPlatformUnknown;
    spFlag_ = 0;
    inputBFlag_ = 0;
    lastRegister18_ = 0xFFFF;
    tag_ = "Orvane-MCA spectrum";
    title_ = "(Not Loaded)";
    stored_.fill(CalibrationSet{});
    working_.fill(CalibrationSet{});
    peak_ = PeakFigures{};
    ResetView();
}

void CSpectrum::AssignSizes(int hardSize, int softSize) {
    hardSize_ = std::clamp(hardSize, 1, kChannels);
    softSize_ = std::clamp(softSize, 1, hardSize_);
    binning_ = std::max(1, hardSize_ / softSize_);
}

void CSpectrum::ResetView() {
    width_ = softSize_;
    first_ = 0;
    last_ = softSize_ - 1;
    cursor_ = softSize_ / 2;
}

void CSpectrum::SetView(int first, int last) {
    first_ = first;
    last_ = last;
    width_ = last - first + 1;
}

void CSpectrum::SetSizes(int hardSize, int softSize, bool treatAsChanged) {
    const int oldFactor = binning_;
    if (shown_) {
        if (treatAsChanged || hardSize != hardSize_ || softSize != softSize_) {
            AssignSizes(std::max(hardSize, softSize), softSize);
            ResetView();
            if (observer_)
                observer_->OnSizesChanged(*this);
        }
        Fold();
    }
    RebuildSoftMarks();
    // An automatic threshold (0) must stay automatic: thresholds follow only a real change of factor.
    if (binning_ != oldFactor && observer_)
        observer_->OnBinningFactorChanged(*this, oldFactor, binning_);
    Activate();
}

std::uint32_t CSpectrum::FoldedValue(int k) const {
    const int f = binning_;
    const int begin = k * f;
    int end = std::min(begin + f, hardSize_);
    // The partial bin after the last full one belongs to the last displayed channel.
    if (k == softSize_ - 1) {
        const int full = softSize_ * f;
        if (hardSize_ > full && hardSize_ - full <= f)
            end = hardSize_;
    }
    std::uint32_t sum = 0;
    for (int h = begin; h < end; ++h)
        sum += counts_[static_cast<std::size_t>(h)];
    return sum;
}

void CSpectrum::Fold() {
    if (binning_ == 1) {
        std::copy(counts_.begin(), counts_.begin() + softSize_, softCounts_.begin());
        return;
    }
    for (int k = 0; k < softSize_; ++k)
        softCounts_[static_cast<std::size_t>(k)] = FoldedValue(k);
}

void CSpectrum::FoldBlock(int first, int count) {
    if (!shown_ || count <= 0)
        return;
    first = std::clamp(first, 0, kChannels - 1);
    const int lastHard = std::min(first + count, kChannels) - 1;
    const int lastSoft = softSize_ - 1;
    const int kFirst = std::min(first / binning_, lastSoft);
    int kLast = std::min(lastHard / binning_, lastSoft);
    if (lastHard >= softSize_ * binning_)
        kLast = lastSoft; // the partial bin folds into the last displayed channel
    if (binning_ == 1) {
        const int end = std::min(lastHard, lastSoft);
        std::copy(counts_.begin() + first, counts_.begin() + end + 1, softCounts_.begin() + first);
        return;
    }
    for (int k = kFirst; k <= kLast; ++k)
        softCounts_[static_cast<std::size_t>(k)] = FoldedValue(k);
}

void CSpectrum::RebuildSoftMarks() {
    const int f = binning_;
    for (int k = 0; k < softSize_; ++k) {
        const int begin = k * f;
        bool all = begin + f <= kChannels;
        for (int h = begin; all && h < begin + f; ++h)
            all = hardMarks_[static_cast<std::size_t>(h)] != 0;
        softMarks_[static_cast<std::size_t>(k)] = all ? 1 : 0;
    }
    std::fill(softMarks_.begin() + softSize_, softMarks_.end(), 0);
}

void CSpectrum::SetSoftMark(int k, bool marked) {
    if (k < 0 || k >= softSize_)
        return;
    const std::uint8_t value = marked ? 1 : 0;
    softMarks_[static_cast<std::size_t>(k)] = value;
    const int begin = k * binning_;
    const int end = std::min(begin + binning_, kChannels);
    std::fill(hardMarks_.begin() + begin, hardMarks_.begin() + end, value);
}

void CSpectrum::Activate() {
    if (!shown_)
        return;
    lastRegister18_ = static_cast<std::uint16_t>(~image_.Get(18));
    refresh_ = true;
    if (observer_)
        observer_->OnActivated(*this);
}

void CSpectrum::SetShown(bool shown) {
    shown_ = shown;
    refresh_ = true;
    Activate();
}

void CSpectrum::CopyRoiFrom(const CSpectrum& source) {
    hardMarks_ = source.hardMarks_;
    RebuildSoftMarks();
}

void CSpectrum::CopyCalibrationFrom(const CSpectrum& source, bool destinationIsActive) {
    const int from = source.SelectedInput();
    const int to = SelectedInput();
    stored_[Input(to)] = source.stored_[Input(from)];
    working_[Input(to)] = source.working_[Input(from)];
    if (destinationIsActive) {
        refresh_ = true;
        if (observer_)
            observer_->OnCalibrationReplaced(*this);
    }
}

void CSpectrum::CopyRegistersFrom(const CSpectrum& source) {
    std::copy(source.image_.Bank0().begin(), source.image_.Bank0().begin() + RegisterImage::kRegisters,
              image_.Bank0().begin());
}

} // namespace orvane
