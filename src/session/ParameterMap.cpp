#include "session/ParameterMap.h"

#include "session/Readings.h"

#include <algorithm>
#include <cmath>

namespace orvane {

std::uint32_t EncodeThreshold(int threshold, int binning, std::uint32_t factor) {
    if (threshold <= 0)
        return kAutomaticThreshold;
    const std::uint64_t value = static_cast<std::uint64_t>(threshold) *
                                static_cast<std::uint64_t>(std::max(binning, 1)) *
                                std::max<std::uint64_t>(factor, 1);
    return static_cast<std::uint32_t>(std::min<std::uint64_t>(value, 0x7FFFFFFFu));
}

int DecodeThreshold(std::uint32_t value, int binning, std::uint32_t factor) {
    if (static_cast<std::int32_t>(value) < 0)
        return 0;
    const std::uint64_t t = std::min<std::uint64_t>(value / std::max<std::uint32_t>(factor, 1), 8192);
    const int soft = static_cast<int>(t / static_cast<std::uint64_t>(std::max(binning, 1)));
    return soft == 0 ? 1 : soft;
}

std::uint32_t EstimatedThreshold(std::uint32_t value, int binning, std::uint32_t factor) {
    const std::uint64_t divisor =
        static_cast<std::uint64_t>(std::max(binning, 1)) * std::max<std::uint32_t>(factor, 1);
    return static_cast<std::uint32_t>(value / divisor);
}

std::uint32_t NormalizationFactor(const RegisterImage& image) {
    const std::uint32_t factor = image.Get(reg::kNormLow) + 65536u * (image.Get(reg::kNormHigh) & 0x3FFFu);
    return factor == 0 ? 1 : factor;
}

void SetNormalizationFactor(RegisterImage& image, std::uint32_t factor) {
    factor = std::min<std::uint32_t>(factor, 0x3FFFFFFFu);
    image.Set(reg::kNormLow, static_cast<std::uint16_t>(factor));
    image.SetField(reg::kNormHigh, 0, 14, factor >> 16);
}

std::uint32_t FastFactor(const RegisterImage& image, std::uint32_t normalization, std::uint32_t previous) {
    const std::uint16_t slowRise = image.Get(reg::kSlowRise);
    std::uint64_t factor = previous;
    if (slowRise != 0)
        factor = static_cast<std::uint64_t>(image.Get(reg::kFastRise)) * normalization / slowRise;
    return factor == 0 ? 1 : static_cast<std::uint32_t>(std::min<std::uint64_t>(factor, 0xFFFFFFFFu));
}

std::uint16_t FineGainRegister(int fine) {
    return static_cast<std::uint16_t>((4095 - std::clamp(fine, 0, 4095)) * 16);
}

int FineGainFromRegister(std::uint16_t value) {
    return std::clamp(4095 - value / 16, 0, 4095);
}

double FineGainFactor(int fine) {
    return 1.0 + fine * 0.2 / 4095.0;
}

int CoarseGainSteps(bool inputB, int platformCode, bool unknownAsKiramo) {
    const bool kiramo =
        platformCode == kPlatformKiramo || (unknownAsKiramo && platformCode == kPlatformUnknown);
    return !inputB && kiramo ? 32 : 4;
}

std::vector<double> CoarseGainList(int steps) {
    std::vector<double> gains(static_cast<std::size_t>(steps));
    for (int i = 0; i < steps; ++i)
        gains[static_cast<std::size_t>(i)] =
            steps == 32 ? std::pow(2.0, i / 4.0) : std::pow(std::sqrt(2.0), i);
    return gains;
}

std::uint16_t CoarseGainCode(int steps, int position) {
    if (steps != 32)
        return static_cast<std::uint16_t>(position & 3);
    const unsigned i = static_cast<unsigned>(position) & 31u;
    // Position bit 0 drives code bit 2, bit 1 code bit 0, bit 2 code bit 1; bits 3 and 4 stay.
    return static_cast<std::uint16_t>(((i & 1u) << 2) | ((i >> 1) & 1u) | (((i >> 2) & 1u) << 1) |
                                      (i & 0x18u));
}

int CoarseGainPosition(int steps, std::uint16_t register18) {
    const unsigned mask = static_cast<unsigned>(steps - 1);
    int found = 0;
    for (int i = 0; i < steps; ++i) {
        if ((CoarseGainCode(steps, i) & mask) == (register18 & mask))
            found = i;
    }
    return found;
}

std::uint16_t EncodeDateWord(int year, int month, int day) {
    return static_cast<std::uint16_t>(((year - 2000) << 9) | (month << 5) | day);
}

std::uint16_t EncodeTimeWord(int hour, int minute, int second) {
    return static_cast<std::uint16_t>((hour << 11) | (minute << 5) | (second / 2));
}

StartStamp DecodeStamp(std::uint16_t date, std::uint16_t time) {
    return StartStamp{date / 512 + 2000, (date >> 5) & 15, date & 31,
                      time >> 11,        (time >> 5) & 63, (time & 31) * 2};
}

namespace {
double TimeSeconds(const RegisterImage& image, int countRegister, int fractionRegister, double periodUs) {
    const auto count = static_cast<std::int32_t>(image.Pair(countRegister));
    return count * 0.01 + image.Get(fractionRegister) * 16.0 * periodUs * 1e-6;
}

double Rate(std::uint16_t counts, std::uint16_t windows, double periodUs) {
    if (windows == 0)
        return 0.0;
    return counts / (windows * 2048.0 * periodUs * 1e-6);
}
} // namespace

double RealTimeSeconds(const RegisterImage& image, double periodUs) {
    return TimeSeconds(image, reg::kRealTime, reg::kRealFraction, periodUs);
}

double LiveTimeSeconds(const RegisterImage& image, double periodUs) {
    return TimeSeconds(image, reg::kLiveTime, reg::kLiveFraction, periodUs);
}

double DeadTimePercent(double real, double live) {
    if (real == 0.0)
        return 0.0;
    const double dead = (real - live) * 100.0 / real;
    return dead < 0.0 ? 0.0 : dead;
}

double RateA(const RegisterImage& image, double periodUs) {
    return Rate(image.Get(reg::kCountsA), image.Get(reg::kWindowsA), periodUs);
}

double RateB(const RegisterImage& image, double periodUs) {
    return Rate(image.Get(reg::kCountsB), image.Get(reg::kWindowsB), periodUs);
}

void DeriveShaperTiming(RegisterImage& image) {
    // 16-bit unsigned arithmetic, as the instrument expects these words.
    const std::uint16_t rs = image.Get(reg::kSlowRise), fs = image.Get(reg::kSlowFlat);
    const std::uint16_t rf = image.Get(reg::kFastRise), ff = image.Get(reg::kFastFlat);
    auto word = [](long v) { return static_cast<std::uint16_t>(v & 0xFFFF); };
    image.Set(32, word(rs / 32 + fs + rs));
    image.Set(33, word(rs - 4));
    image.Set(38, word(2 * rs));
    image.Set(39, word(rs / 10 + 4));
    image.Set(40, word(rf / 10 + 4));
    image.Set(41, word(2 * (rs + fs - rf) + rs / 16 - ff));
}

namespace {
struct DriveBits {
    int enable, openDrain, inverted;
};
constexpr DriveBits kDriveBits[3] = {{14, 7, 10}, {13, 6, 9}, {12, 5, 8}};
constexpr int kOutputFunctionBit[3] = {4, 2, 0};
} // namespace

int DriveOf(const RegisterImage& image, Output output) {
    const DriveBits& b = kDriveBits[static_cast<int>(output)];
    const std::uint16_t r = image.Get(reg::kIoFunctions);
    if (!((r >> b.enable) & 1u))
        return kDriveDisabled;
    const bool openDrain = (r >> b.openDrain) & 1u;
    const bool inverted = (r >> b.inverted) & 1u;
    if (inverted)
        return openDrain ? kDriveInvOpenDrain : kDriveInvPushPull;
    return openDrain ? kDriveOpenDrain : kDrivePushPull;
}

void SetDrive(RegisterImage& image, Output output, int selection) {
    const DriveBits& b = kDriveBits[static_cast<int>(output)];
    const bool enable = selection != kDriveDisabled;
    image.SetBit(reg::kIoFunctions, b.enable, enable);
    image.SetBit(reg::kIoFunctions, b.openDrain,
                 selection == kDriveOpenDrain || selection == kDriveInvOpenDrain);
    image.SetBit(reg::kIoFunctions, b.inverted,
                 selection == kDriveInvPushPull || selection == kDriveInvOpenDrain);
}

const std::vector<std::string>& DriveNames() {
    static const std::vector<std::string> names = {"DISABLED", "PUSH-PULL", "OPEN_DRAIN", "INV PUSH-PULL",
                                                   "INV OPEN DRAIN"};
    return names;
}

int DinFunctionOf(const RegisterImage& image) {
    if (!image.Bit(reg::kIoFunctions, 4))
        return kDinSlowAdc;
    return image.Bit(reg::kIoFunctions, 3) ? kDinInvCoincidence : kDinCoincidence;
}

void SetDinFunction(RegisterImage& image, int function) {
    image.SetBit(reg::kIoFunctions, 4, function != kDinSlowAdc);
    image.SetBit(reg::kIoFunctions, 3, function == kDinInvCoincidence);
}

int RinFunctionOf(const RegisterImage& image) {
    if (!image.Bit(reg::kIoFunctions, 15))
        return kRinNone;
    return image.Bit(reg::kIoFunctions, 11) ? kRinInvCoincidence : kRinCoincidence;
}

void SetRinFunction(RegisterImage& image, int function) {
    image.SetBit(reg::kIoFunctions, 15, function != kRinNone);
    image.SetBit(reg::kIoFunctions, 11, function == kRinInvCoincidence);
}

int OutputFunctionOf(const RegisterImage& image, Output output) {
    return image.Field(reg::kOutputFunctions, kOutputFunctionBit[static_cast<int>(output)], 2);
}

void SetOutputFunction(RegisterImage& image, Output output, int function) {
    image.SetField(reg::kOutputFunctions, kOutputFunctionBit[static_cast<int>(output)], 2,
                   static_cast<unsigned>(function));
}

} // namespace orvane
