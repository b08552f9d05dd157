#pragma once

#include "session/RegisterImage.h"

#include <cstdint>
#include <string>
#include <vector>

namespace orvane {

// Register numbers the rest of the program names.
namespace reg {
constexpr int kAdcOffset = 1, kSlowRise = 2, kSlowFlat = 3, kFastRise = 4, kFastFlat = 5;
constexpr int kShortTcB = 8, kLongTcB = 9, kShortTcA = 10, kLongTcA = 11, kAmplifierOffset = 12;
constexpr int kPileUp = 13, kInhibit = 14, kPlatform = 15, kControl = 16, kFineGain = 17, kInput = 18;
constexpr int kPoleZero = 19, kNormLow = 20, kNormHigh = 21, kStartDate = 22, kStartTime = 23;
constexpr int kSlowThreshold = 34, kFastThreshold = 36, kPreset = 42, kCountsA = 44, kCountsB = 45;
constexpr int kWindowsA = 46, kWindowsB = 47, kEstimatedSlow = 48, kEstimatedFast = 52, kRealTime = 56;
constexpr int kLiveTime = 58, kRealFraction = 60, kLiveFraction = 61, kTimeConstants = 62, kFpgaVersion = 63;
constexpr int kStabilizer = 64, kSourceDelay = 68, kWindowWidth = 69, kPeakDelay = 70, kMargins = 71;
constexpr int kPhaThreshold = 72, kPhaMargin = 74, kIoFunctions = 75, kOutputFunctions = 76;
} // namespace reg

// Samples and time constants shown as times, with the sample period in microseconds.
inline double SamplesToUs(double samples, double periodUs) {
    return samples * periodUs;
}
inline double LongTcToUs(double value, double periodUs) {
    return value * periodUs / 8.0;
}
inline double ShortTcToNs(double value, double periodUs) {
    return value * periodUs * 125.0;
}

// Thresholds: register value R = T × B × G, computed in 64 bits and saturated at 0x7FFFFFFF so a legal
// value never wraps into the automatic range; T = 0 is written as 0xFFFFFFFF (automatic).
constexpr std::uint32_t kAutomaticThreshold = 0xFFFFFFFFu;
constexpr std::uint32_t kPhaThresholdFactor = 12;
std::uint32_t EncodeThreshold(int threshold, int binning, std::uint32_t factor);
// Back to soft channels: 0 for automatic, at least 1 otherwise, at most 8192 / B.
int DecodeThreshold(std::uint32_t value, int binning, std::uint32_t factor);
// The instrument's estimate (registers 48/49, 52/53) in soft channels.
std::uint32_t EstimatedThreshold(std::uint32_t value, int binning, std::uint32_t factor);

// Gain normalization factor: register 20 + 65536 × (register 21 & 0x3FFF), 0 read as 1.
std::uint32_t NormalizationFactor(const RegisterImage& image);
// Writes the factor, clamped to the 30 bits it has, keeping the FINE and AUTO bits of register 21.
void SetNormalizationFactor(RegisterImage& image, std::uint32_t factor);
// trunc(fast rise × N / slow rise), the previous value while the slow rise is 0, at least 1.
std::uint32_t FastFactor(const RegisterImage& image, std::uint32_t normalization, std::uint32_t previous);

// Fine gain F 0..4095: register 17 = (4095 − F) × 16; gain factor 1 + F × 0.2 / 4095.
std::uint16_t FineGainRegister(int fine);
int FineGainFromRegister(std::uint16_t value);
double FineGainFactor(int fine);

// Coarse gain lists: 4 steps of √2 or 32 steps of 2^(1/4), the 32-step codes permuted.
// 32 steps only for input A of the Kiramo family; a refresh from the image also takes an unknown platform as
// Kiramo.
int CoarseGainSteps(bool inputB, int platformCode, bool unknownAsKiramo = false);
std::vector<double> CoarseGainList(int steps);
std::uint16_t CoarseGainCode(int steps, int position);
// The last position whose code agrees with register 18 in the bits of (steps − 1); 0 when none does.
int CoarseGainPosition(int steps, std::uint16_t register18);

// Start stamp words.
struct StartStamp {
    int year = 2000, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};
std::uint16_t EncodeDateWord(int year, int month, int day);
std::uint16_t EncodeTimeWord(int hour, int minute, int second);
StartStamp DecodeStamp(std::uint16_t dateWord, std::uint16_t timeWord);
inline bool RunStarted(std::uint16_t dateWord) {
    return dateWord >= 512;
}

// Acquisition times in seconds and the dead-time percentage.
double RealTimeSeconds(const RegisterImage& image, double periodUs);
double LiveTimeSeconds(const RegisterImage& image, double periodUs);
double DeadTimePercent(double realSeconds, double liveSeconds);

// Counting rates of inputs A and B in counts per second.
double RateA(const RegisterImage& image, double periodUs);
double RateB(const RegisterImage& image, double periodUs);

// Registers 32, 33 and 38..41 from the rise and flat-top registers 2..5.
void DeriveShaperTiming(RegisterImage& image);

// Output drives of register 75: one triple of bits (enable, open drain, inverted) per output.
enum class Output { Rout = 0, S = 1, T = 2 };
enum DriveSelection : int {
    kDriveDisabled,
    kDrivePushPull,
    kDriveOpenDrain,
    kDriveInvPushPull,
    kDriveInvOpenDrain
};
int DriveOf(const RegisterImage& image, Output output);
void SetDrive(RegisterImage& image, Output output, int selection);
const std::vector<std::string>& DriveNames();

// Din (register 75 bits 3, 4) and Rin (bits 11, 15) functions.
enum DinFunction : int { kDinSlowAdc, kDinCoincidence, kDinInvCoincidence };
enum RinFunction : int { kRinNone, kRinCoincidence, kRinInvCoincidence };
int DinFunctionOf(const RegisterImage& image);
void SetDinFunction(RegisterImage& image, int function);
int RinFunctionOf(const RegisterImage& image);
void SetRinFunction(RegisterImage& image, int function);

// Output functions of register 76: Rout bits 4..5, S bits 2..3, T bits 0..1.
int OutputFunctionOf(const RegisterImage& image, Output output);
void SetOutputFunction(RegisterImage& image, Output output, int function);

} // namespace orvane
